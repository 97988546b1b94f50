SELECT P.Legajo, (SELECT Count(*) FROM Marcas AS M WHERE M.Legajo = P.Legajo) AS CantMarcas, [CantMarcas]*2 AS Doble
FROM Personas AS P;