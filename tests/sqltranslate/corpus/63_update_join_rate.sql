UPDATE Empleados INNER JOIN Categorias ON Empleados.IdCategoria = Categorias.IdCategoria SET Empleados.Sueldo = [Categorias].[Basico]*1.1
WHERE (((Categorias.Convenio)="UOM"));