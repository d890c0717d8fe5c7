object S: TSQLBuilderState
  Fields = <
    item
      FieldName = 'NAME'
      SortKind = skDesc
      DateDetail = dtMonth
      Filters.Strings = (
        '1'
        '2')
    end>
  UserData = 'u'
end
