SELECT Personas.Legajo, Personas.Apellido, Personas.Nombre
FROM Personas
WHERE (((Personas.IdSector)=[Forms]![frmPrincipal]![cboSector]) AND ((Personas.Activo)=True))
ORDER BY Personas.Apellido;
