SELECT Personas.Legajo, Switch([Categoria]=1,"Operario",[Categoria]=2,"Administrativo",[Jefe],"Jefe",True,"Otro") AS Cat
FROM Personas;