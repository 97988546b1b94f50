SELECT Personas.Legajo, Personas.Apellido
FROM Personas
WHERE (((Personas.IdSector) In (SELECT Sectores.IdSector FROM Sectores WHERE Sectores.Habilitado)) AND ((Personas.Activo)=True));