SELECT Personas.Legajo, DLookUp("Descripcion","Sectores","IdSector = " & [IdSector]) AS Sector
FROM Personas;
