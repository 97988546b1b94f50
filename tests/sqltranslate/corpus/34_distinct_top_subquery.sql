SELECT DISTINCT TOP 3 Personas.Sector, (SELECT Max(L.Neto) FROM Liquidaciones AS L WHERE L.Sector = Personas.Sector) AS MaxNeto
FROM Personas
WHERE Personas.Activo
ORDER BY 2 DESC;