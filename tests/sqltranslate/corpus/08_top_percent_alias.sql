SELECT TOP 25 PERCENT Marcas.Legajo, Sum(Marcas.Horas) AS TotalHoras, [TotalHoras]/8 AS Jornadas
FROM Marcas
GROUP BY Marcas.Legajo
ORDER BY Sum(Marcas.Horas) DESC;