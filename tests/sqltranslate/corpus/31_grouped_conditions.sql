SELECT Personas.Legajo
FROM Personas
WHERE Not ([Activo] AND [Fijo]) AND ([Sector]=1 OR [Sector]=2) AND (([Licencia] Or [Vacaciones]) And [Sueldo]>0);