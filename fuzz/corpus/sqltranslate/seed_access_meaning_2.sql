SELECT Empleados.Legajo, Switch([Turno]=1,"Mañana",[Turno]=2,"Tarde",[Turno]=3,"Noche") AS NombreTurno, Choose([Trimestre],"Q1","Q2","Q3","Q4") AS Trim
FROM Empleados;