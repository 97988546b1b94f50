SELECT Personas.Legajo, "Linea 1
Linea 2" AS Texto, [Personas].[Observación] AS [Observación]
FROM Personas;