DELETE DISTINCTROW Novedades.*
FROM Novedades INNER JOIN Empleados ON Novedades.Legajo = Empleados.Legajo
WHERE (((Empleados.Activo)=False));