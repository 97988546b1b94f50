SELECT Q.Legajo, Q.Neto
FROM (SELECT TOP 5 L.Legajo, L.Neto FROM Liquidaciones AS L ORDER BY L.Neto DESC) AS Q
ORDER BY Q.Legajo;