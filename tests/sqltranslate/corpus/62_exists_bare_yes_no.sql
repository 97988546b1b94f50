SELECT E.Legajo, E.Apellido FROM Empleados AS E
WHERE EXISTS (SELECT * FROM Embargos AS B WHERE B.Legajo = E.Legajo AND B.Vigente);