SELECT [Personas].[Legajo], [Personas].[Apellido] & ", " & [Personas].[Nombre] AS [Apellido y Nombre], [Liquidaciones].[Neto]
FROM Personas INNER JOIN Liquidaciones ON [Personas].[Legajo] = [Liquidaciones].[Legajo]
WHERE ((([Liquidaciones].[Periodo])=#12/1/2006#) AND (([Personas].[Activo])=True));