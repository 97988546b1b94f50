SELECT Personas.Legajo
FROM Personas
WHERE Not Exists (SELECT * FROM Licencias WHERE Licencias.Legajo = Personas.Legajo AND Licencias.Vigente);