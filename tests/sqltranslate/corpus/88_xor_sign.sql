SELECT Empleados.Legajo, [Sueldo]*IIf([Categoria]="A",1.2,IIf([Categoria]="B",1.1,1)) AS Ajustado, Sgn([Saldo]) AS Signo
FROM Empleados
WHERE [Sueldo]*1.1>=[Tope] Xor [Exento];