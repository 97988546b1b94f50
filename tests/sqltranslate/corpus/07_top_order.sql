SELECT TOP 10 Personas.Legajo, Personas.Apellido, Personas.Sueldo
FROM Personas
ORDER BY Personas.Sueldo DESC;