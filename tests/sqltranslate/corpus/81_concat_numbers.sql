SELECT Empleados.Legajo, [Legajo] & "" AS LegajoTxt, [Apellido] & ", " & [Nombre] & " (" & [Legajo] & ")" AS Etiqueta
FROM Empleados;