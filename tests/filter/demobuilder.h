// A TSQLBuilder over the demo database as a host's form file describes it (UTF-8 here; the
// tests turn it into the Windows-1251 bytes a form file holds).
#pragma once

namespace lmtest {

inline const char* const kDemoBuilderDfm = R"(object frmReports: TfrmReports
  Left = 120
  Top = 80
  object SQLBuilder1: TSQLBuilder
    Directory = 'Goods'
    Tables = <
      item
        TableName = 'g'
        SQLName = 'GOODS'
      end
      item
        TableName = 'V'
        SQLName = 'VENDOR'
        ParentTable = 'G'
        JoinSQL = 'V.ID = G.VENDOR_ID'
      end
      item
        TableName = 'C'
        SQLName = 'COUNTRY'
        ParentTable = 'V'
        JoinSQL = 'C.ID = V.COUNTRY_ID'
      end
      item
        TableName = 'GC'
        SQLName = 'COUNTRY'
        ParentTable = 'G'
        JoinKind = jkOuter
        JoinSQL = 'GC.ID = G.COUNTRY_ID'
      end>
    Fields = <
      item
        Category = 'Товар'
        DisplayLabel = 'Наименование'
        FieldName = 'NAME'
        SQLName = 'G.NAME'
        Table = 'G'
      end
      item
        Category = 'Товар'
        DisplayLabel = 'Поставщик'
        FieldName = 'VENDOR_NAME'
        SQLName = 'V.NAME'
        Table = 'V'
      end
      item
        Category = 'Поставщик'
        DisplayLabel = 'Страна'
        FieldName = 'VENDOR_COUNTRY'
        SQLName = 'C.NAME'
        Table = 'C'
      end
      item
        DisplayLabel = 'Страна товара'
        FieldName = 'GOODS_COUNTRY'
        SQLName = 'GC.NAME'
        Table = 'GC'
      end
      item
        DisplayLabel = 'Месяц'
        FieldName = 'REG_MONTH'
        SQLName = 'G.REG_DATE'
        Kind = fikDateTime
        DateDetail = dtMonth
        Table = 'G'
      end
      item
        DisplayLabel = 'Сумма'
        DisplayFormat = '0.00'
        FieldName = 'PRICE_SUM'
        SQLName = 'G.PRICE'
        Kind = fikSumm
        RoundSumTo = 2
        Table = 'G'
      end
      item
        DisplayLabel = 'Количество'
        FieldName = 'QTY'
        SQLName = 'G.QUANTITY'
        Kind = fikSumm
        Table = 'G'
      end
      item
        Category = 'Товар'
        DisplayLabel = 'Поставщик товара'
        DisplayCategory = True
        FieldName = 'VENDOR_ID'
        Table = 'G'
        Kind = fikLookup
        LookupDataSet = dsVendors
        LookupKeyField = 'ID'
        LookupResultField = 'NAME'
      end>
  end
end
)";

} // namespace lmtest
