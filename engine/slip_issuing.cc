#include "engine/slip_issuing.h"

#include <algorithm>

#include "engine/control_language.h"
#include "engine/record_reader.h"
#include "printing/automation.h"
#include "printing/page_preview.h"
#include "runtime/runtime_error.h"
#include "runtime/text.h"

namespace tarvo {
namespace {

bool starts_at(std::string_view text, std::size_t pos1, std::string_view marker) {
  return text.substr(pos1 - 1, marker.size()) == marker;
}

// A field's value converted by its type letter: "N" a number, "D" a date in
// the run's date format, anything else the text itself.
Value converted_field(const JobState& s) {
  if (text_equal(s.W_TIPO_DO_CAMPO, "N")) return Value(numeric_value(s.W_CONTEUDO_CAMPO));
  if (text_equal(s.W_TIPO_DO_CAMPO, "D")) return Value(date_from_text(s.W_CONTEUDO_CAMPO, s.settings));
  return Value(s.W_CONTEUDO_CAMPO);
}

// Stores the current slip record under "w" + its trimmed name.
void store_field(JobState& s) {
  s.W_DEFINIR_CAMPO = "w" + std::string(trim(s.W_NOME_DO_CAMPO));
  s.slip_fields.set(s.W_DEFINIR_CAMPO, converted_field(s));
}

// Runs `read`; a runtime error it raises without naming what it was doing
// names the field's variable.
template <class Read>
decltype(auto) about(std::string_view field, Read&& read) {
  try {
    return read();
  } catch (RuntimeError& e) {
    if (e.operation.empty()) e.operation = "w" + std::string(field);
    throw;
  }
}

// The stored slip fields as the issuing reads them. A field no record gave
// and a field of the wrong kind are runtime errors naming the field's
// variable.
class SlipFields {
 public:
  explicit SlipFields(const NamedStore& store) : store_(store) {}

  const Value& value(std::string_view field) const {
    const std::string variable = "w" + std::string(field);
    const Value* v = store_.find(variable);
    if (v == nullptr) {
      RuntimeError e;
      e.gencode = 1003;
      e.description = "variável não existe";
      e.operation = variable;
      throw e;
    }
    return *v;
  }
  const std::string& text(std::string_view field) const {
    return about(field, [&]() -> const std::string& { return value(field).text(); });
  }
  std::string trimmed(std::string_view field) const { return std::string(trim(text(field))); }
  double number(std::string_view field) const {
    return about(field, [&] { return value(field).number(); });
  }

 private:
  const NamedStore& store_;
};

// Everything one slip needs, read before the component is created so that a
// missing or wrongly typed field creates nothing.
struct SlipData {
  Value data_documento, numero_documento, data_vencimento, valor_documento;
  std::string arquivo_logotipo, caminho_imagens, layout_boleto;
  Value codigo_agencia, numero_conta, codigo_cedente, inicio_nosso_numero, fim_nosso_numero;
  double proximo_nosso_numero = 0;
  Value demonstrativo;
  std::string grava_remessa, remessa_diretorio, remessa_arquivo, remessa_layout;
  std::string nome_sacado, cpf_sacado, endereco_sacado, bairro_sacado, cidade_sacado,
      estado_sacado, cep_sacado;
  std::string instrucao_cobranca3;
  double valor_instrucao_cobranca3 = 0;
  std::string dias_protesto;
  double valor = 0;  // the amount as a number, for the charge text
};

SlipData read_slip(const NamedStore& store) {
  const SlipFields f(store);
  SlipData d;
  d.data_documento = f.value("DataDocumento");
  d.numero_documento = f.value("NumeroDocumento");
  d.data_vencimento = f.value("DataVencimento");
  d.valor_documento = f.value("ValorDocumento");
  d.arquivo_logotipo = f.trimmed("ArquivoLogotipo");
  d.caminho_imagens = f.trimmed("CaminhoImagensCodigoBarras");
  d.layout_boleto = f.trimmed("LayoutBoleto");
  d.codigo_agencia = f.value("CodigoAgencia");
  d.numero_conta = f.value("NumeroContaCorrente");
  d.codigo_cedente = f.value("CodigoCedente");
  d.inicio_nosso_numero = f.value("InicioNossoNumero");
  d.fim_nosso_numero = f.value("FimNossoNumero");
  d.proximo_nosso_numero = f.number("ProximoNossoNumero");
  d.demonstrativo = f.value("Demonstrativo");
  d.grava_remessa = f.trimmed("GravaArquivoRemessa");
  d.remessa_diretorio = f.trimmed("ArquivoRemessaDiretorio");
  d.remessa_arquivo = f.trimmed("ArquivoRemessaArquivo");
  d.remessa_layout = f.trimmed("ArquivoRemessaLayout");
  d.nome_sacado = f.trimmed("NomeSacado");
  d.cpf_sacado = f.trimmed("CPFSacado");
  d.endereco_sacado = f.trimmed("EnderecoSacado");
  d.bairro_sacado = f.trimmed("BairroSacado");
  d.cidade_sacado = f.trimmed("CidadeSacado");
  d.estado_sacado = f.trimmed("EstadoSacado");
  d.cep_sacado = f.trimmed("CepSacado");
  d.instrucao_cobranca3 = f.trimmed("InstrucaoCobranca3");
  d.valor_instrucao_cobranca3 = numeric_value(f.text("ValorInstrucaoCobranca3"));
  d.dias_protesto = f.trimmed("DiasProtesto");
  d.valor = f.number("ValorDocumento");
  return d;
}

// Texts the program composes are written in UTF-8 here and reach the
// component in the print file's code page, like every other text it gets.
Value program_text(std::string_view utf8) { return Value(utf8_to_cp1252(utf8)); }

// Fine of 2 percent and a daily charge of one thirtieth of it, with a point
// and two decimals.
std::string charge_text(double amount) {
  const std::string multa = fixed_text(amount * 0.02, 2);
  const std::string por_dia = fixed_text(amount * 0.0006666666666666666, 2);
  return "Após Vencimento cobrar R$ " + multa + " de Multa e R$ " + por_dia +
         " ao Dia de Comissão de Permanência";
}

void send_print_defaults(AutomationObject& boleto, const SlipData& d) {
  AutomationObject impresso = boleto.get_object("PADROESBOLETO").get_object("PADROESBOLETOIMPRESSO");
  impresso.put("ARQUIVOLOGOTIPO", Value(d.arquivo_logotipo));
  impresso.put("CAMINHOIMAGENSCODIGOBARRAS", Value(d.caminho_imagens));
  if (!d.layout_boleto.empty()) impresso.put("LAYOUTBOLETO", Value(d.layout_boleto));
}

void send_remittance(AutomationObject& boleto, const SlipData& d) {
  if (!text_equal(d.grava_remessa, "S")) return;
  AutomationObject remessa = boleto.get_object("ARQUIVOREMESSA");
  remessa.put("DIRETORIO", Value(d.remessa_diretorio));
  remessa.put("ARQUIVO", Value(d.remessa_arquivo));
  remessa.put("LAYOUT", Value(d.remessa_layout));
}

void send_account(AutomationObject& boleto, const SlipData& d) {
  boleto.put("LOCALPAGAMENTO",
             program_text("Pagar Preferencialmente nas Casas Lotéricas até o Valor Limite"));
  boleto.put("CODIGOAGENCIA", d.codigo_agencia);
  boleto.put("NUMEROCONTACORRENTE", d.numero_conta);
  boleto.put("CODIGOCEDENTE", d.codigo_cedente);
  boleto.put("INICIONOSSONUMERO", d.inicio_nosso_numero);
  boleto.put("FIMNOSSONUMERO", d.fim_nosso_numero);
  boleto.put("PROXIMONOSSONUMERO", Value(d.proximo_nosso_numero - 1));
}

void send_payer(AutomationObject& documento, const SlipData& d) {
  documento.put("NOMESACADO", Value(d.nome_sacado));
  documento.put("CPFSACADO", Value(d.cpf_sacado));
  documento.put("ENDERECOSACADO", Value(d.endereco_sacado));
  documento.put("BAIRROSACADO", Value(d.bairro_sacado));
  documento.put("CIDADESACADO", Value(d.cidade_sacado));
  documento.put("ESTADOSACADO", Value(d.estado_sacado));
  documento.put("CEPSACADO", Value(d.cep_sacado));
}

void send_document(AutomationObject& documento, const SlipData& d) {
  documento.put("INSTRUCAOCOBRANCA3", Value(d.instrucao_cobranca3));
  documento.put("VALORINSTRUCAOCOBRANCA3", Value(d.valor_instrucao_cobranca3));
  documento.put("DIASPROTESTO", Value(d.dias_protesto));
  documento.put("DATADOCUMENTO", d.data_documento);
  documento.put("DATAVENCIMENTO", d.data_vencimento);
  documento.put("NUMERODOCUMENTO", d.numero_documento);
  documento.put("NUMEROCONTROLE", d.numero_documento);
  documento.put("VALORDOCUMENTO", d.valor_documento);
}

// The slip's pages as the component lays them out, into the job's preview.
void show_slip_pages(JobServices& job, AutomationObject& boleto) {
  AutomationObject pages = boleto.call_object(kPreviewBoletos);
  std::shared_ptr<const PreviewPages> drawn = pages.offered<const PreviewPages>("PreviewPages");
  if (job.preview != nullptr) job.preview->add(std::move(drawn));
}

AutomationObject create_component(const JobServices& job) {
  const AutomationRegistry none;
  const AutomationRegistry& registry = job.automation != nullptr ? *job.automation : none;
  return registry.create(kComponenteBoleto);
}

}  // namespace

bool IMPRESSAO_DE_BOLETOS(std::string_view text) {
  const std::size_t limit = std::min<std::size_t>(text.size(), 50);
  for (std::size_t i = 0; i < limit; ++i)
    if (text.substr(i, kInicioBoleto.size()) == kInicioBoleto) return true;
  return false;
}

bool OBTER_LINHA_BOLETO(JobState& s) {
  s.W_NOME_DO_CAMPO.clear();
  s.W_TIPO_DO_CAMPO.clear();
  s.W_CONTEUDO_CAMPO.clear();
  const std::string_view text = s.W_DADOS_ARQUIVO;
  const std::size_t last = std::min(s.WFINAL, text.size());

  // Search for the record start.
  for (;;) {
    if (s.WII > last) return false;
    if (starts_at(text, s.WII, WFINAL_ARQUIVO)) {
      s.WII += WFINAL_ARQUIVO.size();
      return false;
    }
    if (starts_at(text, s.WII, WINICIO_BOLETO)) {
      s.WNAO_ACHOU_INICIO = true;
      s.WII += WINICIO_BOLETO.size();
      break;
    }
    ++s.WII;
  }

  // Collect name, type and content up to the record end.
  std::string working;
  int separators = 0;
  while (s.WII <= last) {
    if (starts_at(text, s.WII, WFINAL_ARQUIVO)) {
      s.WII += WFINAL_ARQUIVO.size();
      return false;
    }
    if (starts_at(text, s.WII, WFINAL_BOLETO)) {
      s.W_CONTEUDO_CAMPO += working;
      s.WII += WFINAL_BOLETO.size();
      ++s.WTOT_LINHAS;
      s.W_PRIMEIRA_LINHA = false;
      return true;
    }
    if (starts_at(text, s.WII, WSEPARADOR)) {
      ++separators;
      s.WII += WSEPARADOR.size();
      if (separators == 1) s.W_NOME_DO_CAMPO = working;
      else if (separators == 2) s.W_TIPO_DO_CAMPO = working;
      working.clear();
      continue;
    }
    working += text[s.WII - 1];
    ++s.WII;
  }
  return false;
}

bool M14C11_IMP_BOLETOS_N13_14(JobServices& job, bool preview, std::string_view /*source*/) {
  // 1. Every field the slip needs.
  const SlipData d = read_slip(job.state.slip_fields);

  // 2-5. The component, its print defaults, remittance and account.
  AutomationObject boleto = create_component(job);
  send_print_defaults(boleto, d);
  send_remittance(boleto, d);
  send_account(boleto, d);

  // 6-7. One document and its payer.
  AutomationObject documento = boleto.get_object("DOCUMENTOSCOBRANCA").call_object("ADD");
  send_payer(documento, d);

  // 8. The registration form as a free data entry.
  AutomationObject meus_dados = documento.get_object("MEUSDADOS").call_object("ADD");
  meus_dados.put("NOME", Value("FormaCadastramento"));
  meus_dados.put("VALOR", Value("1"));

  // 9-12. Instructions, dates, numbers, amount, statement and charge text.
  send_document(documento, d);
  AutomationObject padroes = documento.get_object("PADROESBOLETO");
  padroes.put("DEMONSTRATIVO", d.demonstrativo);
  padroes.put("INSTRUCOESCAIXA", program_text(charge_text(d.valor)));

  // 13. Print without preview, or only show the slip. 14: the handles go
  // when this returns.
  if (preview) {
    show_slip_pages(job, boleto);
  } else {
    boleto.call(kImprimeBoletos);
  }
  return true;
}

bool issue_slip_file(JobServices& job) {
  JobState& s = job.state;
  s.WII = 1;
  s.WFINAL = s.W_DADOS_ARQUIVO.size();
  s.W_INCIO_BOLETA = false;
  // A file's slips read only its own fields, also when an earlier job of
  // the run (its preview) read them before.
  s.slip_fields.clear();
  try {
    while (s.WII <= s.WFINAL) {
      if (!OBTER_LINHA_BOLETO(s)) break;
      store_field(s);
      if (!s.W_INCIO_BOLETA && s.W_CONTEUDO_CAMPO == kInicioBoleto) {
        s.W_INCIO_BOLETA = true;
      } else if (s.W_INCIO_BOLETA && s.W_CONTEUDO_CAMPO == kFinalBoleto) {
        s.W_INCIO_BOLETA = false;
        M14C11_IMP_BOLETOS_N13_14(job, job.preview != nullptr, "S");
      }
    }
  } catch (const RuntimeError& e) {
    job.messages.runtime_error(e);
    return false;
  }
  return true;
}

}  // namespace tarvo
