SELECT Personas.Legajo, Personas.FechaActivo, Personas.Activo
FROM Personas
WHERE Personas.Activo AND Not Personas.Suspendido;