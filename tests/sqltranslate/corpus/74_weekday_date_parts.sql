SELECT Empleados.Legajo, Year([FechaIngreso]) AS AnioIngreso, Month([FechaIngreso]) AS MesIngreso, Day([FechaIngreso]) AS DiaIngreso, Weekday([FechaIngreso]) AS DiaSemana
FROM Empleados;