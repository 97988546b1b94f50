SELECT Personas.Legajo, DLookUp("Descripcion","Sectores","IdSector = 3") AS SectorTres, DCount("*","Licencias","Vigente = True") AS LicenciasVigentes, DMax("[Fecha]","Marcas") AS UltimaMarca, DSum("Importe","Novedades","Tipo = ""R"" AND Periodo >= #1/1/2006#") AS TotalR
FROM Personas;
