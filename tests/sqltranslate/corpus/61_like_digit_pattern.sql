SELECT Empleados.Legajo, Empleados.CUIL
FROM Empleados
WHERE Empleados.CUIL Not Like "##-########-#";