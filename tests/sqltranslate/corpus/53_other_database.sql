SELECT Clientes.Codigo, Clientes.Razon
FROM Clientes IN "C:\Datos\Comercial.mdb"
WHERE (((Clientes.Activo)=True));
