SELECT Personas.Legajo, Switch(Personas.Categoria=1,'Operario',Personas.Categoria=2,'Administrativo',Personas.Categoria=3,'Jefe',1,'Otro') AS Categoria, Switch(Personas.Antiguedad<5,0.05,Personas.Antiguedad<10,0.1,1,0.2) AS Premio, Personas.Sueldo * Premio AS ImportePremio, instr(Personas.Email,'@') AS Arroba, CBOOL(Personas.Sindicato) AS EsAfiliado, Personas.Edad MOD 5 AS Grupo
FROM Personas LEFT JOIN Categorias ON Personas.Categoria = Categorias.Id
WHERE Personas.Activo OR Personas.Licencia
GROUP BY Personas.Legajo;