// General list and text procedures shared by the query translator (all OSes).
#include "sqltranslate/list_procedures.h"

#include <cstdlib>

#include "sqltranslate/text_search.h"
#include "text/error.h"
#include "text/toolbox.h"

namespace kelv {
namespace {

// Number of delimiters in a piece the way the original counted them: the number of fields
// minus one when the piece is split at the delimiter, so an empty piece counts -1.
int CuentaDelimitador(std::string_view pieza, std::string_view delim) {
  if (pieza.empty()) return -1;
  if (delim.empty()) return 0;
  int n = 0;
  for (std::size_t p = pieza.find(delim); p != std::string_view::npos;
       p = pieza.find(delim, p + delim.size())) {
    ++n;
  }
  return n;
}

// A plain decimal number with optional blanks around it and an optional sign.
bool EsNumero(std::string_view s, double& valor) {
  std::string t = Trim(s);
  if (t.empty()) return false;
  std::size_t i = 0;
  if (t[i] == '+' || t[i] == '-') ++i;
  bool digitos = false;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, digitos = true;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, digitos = true;
  }
  if (!digitos || i != t.size()) return false;
  valor = std::strtod(t.c_str(), nullptr);
  return true;
}

bool ValoresIguales(std::string_view valor, std::string_view campo) {
  double a = 0, b = 0;
  if (EsNumero(valor, a)) return EsNumero(campo, b) && a == b;
  return valor == campo;
}

[[noreturn]] void FueraDeRango(const char* fuente, int indice) {
  throw KelvError(kErrSubscript, fuente,
                  "Subscript out of range: index " + std::to_string(indice));
}

}  // namespace

TablaTextos TablaVacia(std::size_t ancho) {
  if (ancho < 2) ancho = 2;
  TablaTextos t(1, std::vector<std::string>(ancho));
  t[0][0] = "-1";
  t[0][1] = "-1";
  return t;
}

bool EsTablaVacia(const TablaTextos& tabla) {
  return tabla.size() == 1 && tabla[0].size() >= 2 && tabla[0][0] == "-1" &&
         tabla[0][1] == "-1";
}

int CuentaApariciones(std::string_view texto, std::string_view buscado) {
  if (texto.empty() || buscado.empty()) return 0;
  int n = 0;
  const BuscaSinCaso busca(buscado);
  for (std::size_t p = busca.Find(texto, 0); p != std::string_view::npos;
       p = busca.Find(texto, p + buscado.size())) {
    ++n;
  }
  return n;
}

std::vector<std::string> SeparaPorNivel(std::string_view texto, std::string_view separador,
                                        std::string_view abre, std::string_view cierra) {
  std::vector<std::string> piezas = SplitAnyCase(texto, separador);
  if (piezas.size() <= 1) return piezas;
  const bool mismo = abre == cierra;
  int a = CuentaDelimitador(piezas[0], abre);
  int c = CuentaDelimitador(piezas[0], cierra);
  // One pass: a piece that leaves a delimiter open takes in the pieces after it.
  std::vector<std::string> salida;
  salida.reserve(piezas.size());
  std::string actual = std::move(piezas[0]);
  for (std::size_t j = 1; j < piezas.size(); ++j) {
    const std::string& sig = piezas[j];
    if ((mismo && a % 2 != 0) || a > c) {
      actual.append(separador);
      actual.append(sig);
      if (mismo) {
        a += CuentaDelimitador(sig, abre);
        if (a % 2 == 0) c = a;
      } else {
        c += CuentaDelimitador(sig, cierra);
        a += CuentaDelimitador(sig, abre);
      }
    } else {
      salida.push_back(std::move(actual));
      actual = sig;
      const int e = CuentaDelimitador(sig, abre);
      if (e > 0) {
        a += e;
        c += CuentaDelimitador(sig, cierra);
      }
    }
  }
  salida.push_back(std::move(actual));
  return salida;
}

void InsertaQuitaElemento(std::vector<std::string>& lista, int indice) {
  if (indice == -1) {
    lista.clear();
    return;
  }
  if (indice < 0 || static_cast<std::size_t>(indice) >= lista.size()) {
    FueraDeRango("InsertaQuitaElemento", indice);
  }
  lista.erase(lista.begin() + indice);
}

void InsertaQuitaElemento(TablaTextos& tabla, std::string_view valor, int& indice,
                          bool inserta) {
  const std::size_t ancho = tabla.empty() ? 3 : tabla[0].size();
  if (!inserta) {
    if (indice == -1) {
      tabla = TablaVacia(ancho);
      return;
    }
    if (EsTablaVacia(tabla) || indice < 0 || static_cast<std::size_t>(indice) >= tabla.size()) {
      FueraDeRango("InsertaQuitaElemento", indice);
    }
    tabla.erase(tabla.begin() + indice);
    if (tabla.empty()) tabla = TablaVacia(ancho);
    return;
  }
  if (EsTablaVacia(tabla) || tabla.empty()) {
    tabla.assign(1, std::vector<std::string>(ancho));
  } else {
    tabla.emplace_back(ancho);
  }
  indice = static_cast<int>(tabla.size() - 1);
  std::vector<std::string> campos = Split(valor, "*");
  if (valor.empty()) campos.assign(1, std::string());
  for (std::size_t k = 0; k < campos.size() && k < ancho; ++k) {
    if (campos[k] != "^") tabla[indice][k] = campos[k];
  }
}

int BuscaEnArreglo(std::string_view valor, const TablaTextos& tabla, int columna, int inicio) {
  if (EsTablaVacia(tabla)) return -1;
  if (inicio < 0) inicio = 0;
  for (std::size_t i = static_cast<std::size_t>(inicio); i < tabla.size(); ++i) {
    if (columna < 0 || static_cast<std::size_t>(columna) >= tabla[i].size()) {
      FueraDeRango("BuscaEnArreglo", columna);
    }
    if (ValoresIguales(valor, tabla[i][columna])) return static_cast<int>(i);
  }
  return -1;
}

int BuscaEnArreglo(std::string_view valor, const std::vector<std::string>& lista, int inicio) {
  if (inicio < 0) inicio = 0;
  for (std::size_t i = static_cast<std::size_t>(inicio); i < lista.size(); ++i) {
    if (ValoresIguales(valor, lista[i])) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace kelv
