object X: T
  A = 'a'#13#10'b' +
    #1040'Á'
  B = [x, y]
  C = (
    1
    2.5E3)
  D = {00FF}
  E = <
    item
      F = $10
    end>
  inherited Y: TY [0]
  end
end
