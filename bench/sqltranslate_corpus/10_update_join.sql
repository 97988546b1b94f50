UPDATE Personas INNER JOIN Categorias ON Personas.IdCategoria = Categorias.IdCategoria SET Personas.Basico = [Categorias].[Basico]*1.1, Personas.Actualizado = True, Personas.FechaCambio = Now()
WHERE (((Categorias.Convenio)="Comercio") AND ((Personas.Activo)=True) AND ((Personas.Codigo) Like "A?##"));
