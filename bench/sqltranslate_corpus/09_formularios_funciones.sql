PARAMETERS [Fecha desde] DateTime, [Fecha hasta] DateTime, [Forms]![frmLiquidacion]![cboSector] Long;
SELECT Personas!Legajo, LCase([Apellido]) & ", " & [Nombre] AS NombreCompleto, Format([FechaIngreso],"dd/mm/yyyy") AS Ingreso, Format([FechaIngreso],"yyyymmdd") AS Clave, Nz([Adicional],0)+[Basico] AS Bruto, [Bruto]*0.17 AS Aportes, DLookUp("Descripcion","Sectores","IdSector = 3") AS Sector, DateSerial(Year(Now()),Month(Now()),1) AS Primero, Hour([Entrada]) AS HoraEntrada, Fix([Horas]/8) AS Jornadas, CCur([Sueldo]*1.05) AS Nuevo, InStr(1,[Email],"@") AS Arroba, [Lado]^2 AS Area, IsNull([FechaBaja]) AS SinBaja
FROM Personas INNER JOIN Marcas ON Personas.Legajo = Marcas.Legajo
WHERE (((Personas.IdSector)=[Forms]![frmLiquidacion]![cboSector]) AND ((Marcas.Fecha) Between [Fecha desde] And [Fecha hasta]) AND ((Personas.Apellido) Like "Gonz*") AND ((Personas.Activo)=True))
ORDER BY Personas.Apellido
WITH OWNERACCESS OPTION;
