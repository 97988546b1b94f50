SELECT Empleados.Legajo, CInt([Antiguedad]) AS Anios, CLng([Sueldo]) AS SueldoEntero, CStr([Legajo]) AS LegajoTexto, CDate([FechaTexto]) AS FechaReal
FROM Empleados;