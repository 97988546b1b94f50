SELECT Personas.Legajo, Personas.Apellido & ", " & Personas.Nombre AS NombreCompleto
FROM Personas
WHERE (((Personas.Activo)=True))
ORDER BY Personas.Apellido;
