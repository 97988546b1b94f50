SELECT Personas.Legajo, Personas.Apellido, Personas.Nombre, Sectores.Descripcion
FROM Sectores INNER JOIN Personas ON Sectores.IdSector = Personas.IdSector
WHERE (((Personas.Activo)=True) AND ((Personas.FechaIngreso)>=#1/1/2005#))
ORDER BY Personas.Apellido, Personas.Nombre;