SELECT Personas.Legajo, Personas.Apellido, "Activo" AS Estado
FROM Personas
WHERE Personas.Activo
UNION ALL SELECT Historico.Legajo, Historico.Apellido, "Histórico" AS Estado
FROM Historico
WHERE Not Historico.Anulado
ORDER BY 2;