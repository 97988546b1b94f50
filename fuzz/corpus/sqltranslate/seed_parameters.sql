PARAMETERS [Pick Date] DateTime, [Forms]![f]![c] Long;
SELECT * FROM t WHERE d > [Pick Date] AND x = Forms!f!c AND y = [Fecha:] AND t!a = Form_f.b
