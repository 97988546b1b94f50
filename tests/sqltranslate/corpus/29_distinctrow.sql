SELECT DISTINCTROW Sectores.Descripcion, Count(Personas.Legajo) AS CuentaDeLegajo
FROM Sectores INNER JOIN Personas ON Sectores.IdSector = Personas.IdSector
GROUP BY Sectores.Descripcion;