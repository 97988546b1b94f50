SELECT Personas.Legajo, Personas.Apellido, Personas.FechaBaja INTO [Bajas 2006]
FROM Personas
WHERE (((Personas.FechaBaja) Between #1/1/2006# And #12/31/2006#));