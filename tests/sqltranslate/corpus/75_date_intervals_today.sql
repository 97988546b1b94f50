SELECT Empleados.Legajo, DateAdd("d",-30,Date()) AS Hace30, DateAdd("yyyy",1,[FechaIngreso]) AS Aniversario, DateAdd("ww",2,[FechaIngreso]) AS DosSemanas
FROM Empleados;