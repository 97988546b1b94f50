TRANSFORM Count(Personas.Legajo) AS CuentaDeLegajo
SELECT Sectores.Descripcion, Count(Personas.Legajo) AS [Total de Legajo]
FROM Sectores INNER JOIN Personas ON Sectores.IdSector = Personas.IdSector
GROUP BY Sectores.Descripcion
PIVOT Personas.Categoria In ("A","B","C");
