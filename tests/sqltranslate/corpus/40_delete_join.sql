DELETE DISTINCTROW Novedades.*
FROM Novedades INNER JOIN Personas ON Novedades.Legajo = Personas.Legajo
WHERE (((Personas.FechaBaja) Is Not Null));
