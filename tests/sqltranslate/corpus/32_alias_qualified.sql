SELECT Personas.Sueldo AS Sueldo, [Sueldo]*1.1 AS [Sueldo Nuevo], [Sueldo Nuevo]-[Personas].[Sueldo] AS Aumento
FROM Personas
WHERE Personas.Sueldo > 0;