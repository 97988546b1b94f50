SELECT Marcas.Legajo, First(Marcas.Fecha) AS PrimeraDeFecha, Last(Marcas.Fecha) AS UltimaDeFecha
FROM Marcas
GROUP BY Marcas.Legajo;
