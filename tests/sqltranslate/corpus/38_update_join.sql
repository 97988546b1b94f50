UPDATE Personas INNER JOIN Categorias ON Personas.IdCategoria = Categorias.IdCategoria SET Personas.Basico = [Categorias].[Basico]*1.1, Personas.Actualizado = True
WHERE (((Categorias.Convenio)="Comercio"));
