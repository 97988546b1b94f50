SELECT TOP 10 PERCENT Liquidaciones.Legajo, Liquidaciones.Neto
FROM Liquidaciones
ORDER BY Liquidaciones.Neto DESC;
