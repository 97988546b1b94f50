SELECT Personas.Legajo, Personas.Apellido
FROM Personas
WHERE (((Personas.Apellido) Like "Gonz*") AND ((Personas.Codigo) Like "A?##") AND ((Personas.Email) Not Like "*_test%*"));
