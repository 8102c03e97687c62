#include "engine/slip_issuing.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "engine/driver.h"
#include "printing/automation.h"
#include "printing/page_preview.h"
#include "runtime/text.h"
#include "tests/engine/print_file.h"
#include "tests/support/test_support.h"

namespace tarvo {
namespace {

// One slip record.
std::string field(std::string_view name, std::string_view type, std::string_view content) {
  return "/\\\\/" + std::string(name) + "&#$|" + std::string(type) + "&#$|" +
         std::string(content) + "&##&";
}
std::string inicio() { return field("Inicio", "C", "=+inicio_boleto+="); }
std::string fim() { return field("Final", "C", "=+final_boleto+="); }

// What the recording component saw, shared by every object it handed out.
struct Recording {
  int creations = 0;
  std::vector<std::string> lines;  // "path.MEMBER=T:value", "path.MEMBER?", "path.MEMBER()"
  std::string fail_on;             // a member that raises the component's exception
  bool pages = true;               // the preview member gives pages
};

// A preview of one slip: one blank page.
class SlipPages final : public AutomationClass, public PreviewPages {
 public:
  AutomationResult get(std::string_view) override { unknown_member(); }
  void put(std::string_view, const Value&) override { unknown_member(); }
  std::size_t count() const override { return 1; }
  SheetSize size(std::size_t) const override { return {595.28, 841.89}; }
  PageImage render(std::size_t, double) const override { return {}; }
};

std::string shown(const Value& v) {
  if (v.is_text()) return "C:" + v.text();
  if (v.is_number()) return "N:" + fixed_text(v.number(), 2);
  if (v.is_date()) {
    RunSettings s;
    s.century = true;
    return "D:" + date_to_text(v.date(), s);
  }
  return std::string(1, v.type_letter());
}

// Records every member access; the members that give objects give new
// recorders named by their path.
class Recorder final : public AutomationClass {
 public:
  Recorder(std::shared_ptr<Recording> r, std::string path) : r_(std::move(r)), path_(std::move(path)) {}

  AutomationResult get(std::string_view name) override { return access(name, "?"); }
  AutomationResult call(std::string_view name) override { return access(name, "()"); }
  void put(std::string_view name, const Value& value) override {
    r_->lines.push_back(path_ + "." + std::string(name) + "=" + shown(value));
  }

 private:
  AutomationResult access(std::string_view name, std::string_view how) {
    r_->lines.push_back(path_ + "." + std::string(name) + std::string(how));
    if (name == r_->fail_on) throw AutomationException("impressora sem papel", "Recorder");
    if (name == "PREVIEWBOLETOS") {
      if (r_->pages) return std::make_shared<SlipPages>();
      return std::make_shared<Recorder>(r_, path_ + ".PREVIEWBOLETOS");
    }
    static const std::vector<std::string_view> objects = {
        "PADROESBOLETO", "PADROESBOLETOIMPRESSO", "ARQUIVOREMESSA", "DOCUMENTOSCOBRANCA",
        "MEUSDADOS", "ADD"};
    for (std::string_view o : objects)
      if (name == o) return std::make_shared<Recorder>(r_, path_ + "." + std::string(name));
    return Value();
  }
  std::shared_ptr<Recording> r_;
  std::string path_;
};

// Every field a slip reads, with values a test may override.
std::map<std::string, std::pair<std::string, std::string>> full_slip() {
  return {
      {"DataDocumento", {"D", "05/11/2026"}},
      {"DataVencimento", {"D", "20/11/2026"}},
      {"NumeroDocumento", {"C", "000123 "}},
      {"ValorDocumento", {"N", "100"}},
      {"ArquivoLogotipo", {"C", " logo.bmp "}},
      {"CaminhoImagensCodigoBarras", {"C", " imagens "}},
      {"LayoutBoleto", {"C", " Padrao "}},
      {"CodigoAgencia", {"C", "0810"}},
      {"NumeroContaCorrente", {"N", "53678"}},
      {"CodigoCedente", {"C", "12345"}},
      {"InicioNossoNumero", {"N", "1"}},
      {"FimNossoNumero", {"C", "99999999"}},
      {"ProximoNossoNumero", {"N", "101"}},
      {"GravaArquivoRemessa", {"C", "Sim"}},
      {"ArquivoRemessaDiretorio", {"C", " /tmp/rem "}},
      {"ArquivoRemessaArquivo", {"C", " rem.txt "}},
      {"ArquivoRemessaLayout", {"C", " CNAB400 "}},
      {"NomeSacado", {"C", " Jo\xe3o da Silva "}},
      {"CPFSacado", {"C", " 123.456.789-09 "}},
      {"EnderecoSacado", {"C", " Rua A, 1 "}},
      {"BairroSacado", {"C", " Centro "}},
      {"CidadeSacado", {"C", " S\xe3o Paulo "}},
      {"EstadoSacado", {"C", " SP "}},
      {"CepSacado", {"C", " 01000-000 "}},
      {"InstrucaoCobranca3", {"C", " 06 "}},
      {"ValorInstrucaoCobranca3", {"C", "5,5"}},
      {"DiasProtesto", {"C", " 5 "}},
      {"Demonstrativo", {"C", " Parcela 1 "}},
      {"LocalPagamento", {"C", "ignorado"}},
  };
}

std::string slip(const std::map<std::string, std::pair<std::string, std::string>>& fields) {
  std::string out = inicio();
  for (const auto& [name, tc] : fields) out += field(name, tc.first, tc.second);
  return out + fim();
}

const std::string B = "boleto";
const std::string IMPRESSO = B + ".PADROESBOLETO.PADROESBOLETOIMPRESSO";
const std::string REMESSA = B + ".ARQUIVOREMESSA";
const std::string DOC = B + ".DOCUMENTOSCOBRANCA.ADD";
const std::string DADOS = DOC + ".MEUSDADOS.ADD";

// The member sequence of one slip made from full_slip().
std::vector<std::string> full_sequence() {
  return {
      B + ".PADROESBOLETO?",
      B + ".PADROESBOLETO.PADROESBOLETOIMPRESSO?",
      IMPRESSO + ".ARQUIVOLOGOTIPO=C:logo.bmp",
      IMPRESSO + ".CAMINHOIMAGENSCODIGOBARRAS=C:imagens",
      IMPRESSO + ".LAYOUTBOLETO=C:Padrao",
      B + ".ARQUIVOREMESSA?",
      REMESSA + ".DIRETORIO=C:/tmp/rem",
      REMESSA + ".ARQUIVO=C:rem.txt",
      REMESSA + ".LAYOUT=C:CNAB400",
      B + ".LOCALPAGAMENTO=C:" + utf8_to_cp1252("Pagar Preferencialmente nas Casas Lotéricas até o Valor Limite"),
      B + ".CODIGOAGENCIA=C:0810",
      B + ".NUMEROCONTACORRENTE=N:53678.00",
      B + ".CODIGOCEDENTE=C:12345",
      B + ".INICIONOSSONUMERO=N:1.00",
      B + ".FIMNOSSONUMERO=C:99999999",
      B + ".PROXIMONOSSONUMERO=N:100.00",
      B + ".DOCUMENTOSCOBRANCA?",
      B + ".DOCUMENTOSCOBRANCA.ADD()",
      DOC + ".NOMESACADO=C:Jo\xe3o da Silva",
      DOC + ".CPFSACADO=C:123.456.789-09",
      DOC + ".ENDERECOSACADO=C:Rua A, 1",
      DOC + ".BAIRROSACADO=C:Centro",
      DOC + ".CIDADESACADO=C:S\xe3o Paulo",
      DOC + ".ESTADOSACADO=C:SP",
      DOC + ".CEPSACADO=C:01000-000",
      DOC + ".MEUSDADOS?",
      DOC + ".MEUSDADOS.ADD()",
      DADOS + ".NOME=C:FormaCadastramento",
      DADOS + ".VALOR=C:1",
      DOC + ".INSTRUCAOCOBRANCA3=C:06",
      DOC + ".VALORINSTRUCAOCOBRANCA3=N:5.00",
      DOC + ".DIASPROTESTO=C:5",
      DOC + ".DATADOCUMENTO=D:05/11/2026",
      DOC + ".DATAVENCIMENTO=D:20/11/2026",
      DOC + ".NUMERODOCUMENTO=C:000123 ",
      DOC + ".NUMEROCONTROLE=C:000123 ",
      DOC + ".VALORDOCUMENTO=N:100.00",
      DOC + ".PADROESBOLETO?",
      DOC + ".PADROESBOLETO.DEMONSTRATIVO=C: Parcela 1 ",
      DOC + ".PADROESBOLETO.INSTRUCOESCAIXA=C:" +
          utf8_to_cp1252("Após Vencimento cobrar R$ 2.00 de Multa e R$ 0.07 ao Dia de Comissão de Permanência"),
      B + ".IMPRIMEBOLETOSSEMPREVIEW()",
  };
}

// Slip issuing never reaches the spooler itself.
struct PrinterServiceStub final : PrinterService {
  std::vector<std::string> GETPRINTERS() override { return {}; }
  std::string GETDEFAULTPRINTER() override { return {}; }
  int PRINTFILERAW(const Value&, const Value&, const Value&) override { return -2; }
  RawSendResult send_raw(std::string_view, RawSource&, std::string_view) override { return {RawResult::no_printer, {}}; }
};

struct Slips : ::testing::Test {
  JobState state;
  PrinterServiceStub printers;
  test::RecordingMessages messages;
  AutomationRegistry registry;
  std::shared_ptr<Recording> rec = std::make_shared<Recording>();
  std::vector<std::vector<std::string>> runs;  // the lines of each creation

  void SetUp() override {
    state.settings.century = true;
    state.settings.epoch = 1925;
    registry.add("CobreBemX.ContaCorrente", [r = rec] {
      ++r->creations;
      return std::make_shared<Recorder>(r, "boleto");
    });
  }
  JobServices services() { return JobServices{state, printers, messages, nullptr, &registry}; }

  bool issue(std::string text) {
    state.start_job(std::move(text));
    JobServices job = services();
    return issue_slip_file(job);
  }
  // Lines that mention `member`.
  std::vector<std::string> lines_with(std::string_view member) const {
    std::vector<std::string> out;
    for (const std::string& l : rec->lines)
      if (l.find(member) != std::string::npos) out.push_back(l);
    return out;
  }
  std::size_t prints() const { return lines_with("IMPRIMEBOLETOSSEMPREVIEW").size(); }
};

TEST_F(Slips, EachPairIsOneCreationWithTheWholeMemberSequence) {
  const std::string second = inicio() + field("NomeSacado", "C", "Maria") + fim();
  ASSERT_TRUE(issue("cabecalho\r\n" + slip(full_slip()) + "\r\n" + second + "/#FIM@\\"));
  EXPECT_TRUE(messages.errors.empty());
  EXPECT_EQ(rec->creations, 2);
  ASSERT_EQ(prints(), 2u);

  const std::vector<std::string> one = full_sequence();
  ASSERT_EQ(rec->lines.size(), 2 * one.size());
  const std::vector<std::string> first(rec->lines.begin(), rec->lines.begin() + one.size());
  EXPECT_EQ(first, one);
  // The second slip reuses every field but the payer's name.
  std::vector<std::string> expected = one;
  for (std::string& l : expected)
    if (l.starts_with(DOC + ".NOMESACADO=")) l = DOC + ".NOMESACADO=C:Maria";
  const std::vector<std::string> later(rec->lines.begin() + one.size(), rec->lines.end());
  EXPECT_EQ(later, expected);
}

TEST_F(Slips, EmptyLayoutAndRemittanceOffSendNeitherGroup) {
  auto f = full_slip();
  f["LayoutBoleto"] = {"C", "   "};
  f["GravaArquivoRemessa"] = {"C", "N"};
  ASSERT_TRUE(issue(slip(f)));
  EXPECT_EQ(prints(), 1u);
  EXPECT_TRUE(lines_with("LAYOUTBOLETO").empty());
  EXPECT_TRUE(lines_with("ARQUIVOREMESSA").empty());
  EXPECT_EQ(rec->lines.size(), full_sequence().size() - 5);
}

TEST_F(Slips, ChargeTextHasTwoDecimalsWithAPoint) {
  auto f = full_slip();
  f["ValorDocumento"] = {"N", "1234.56"};
  ASSERT_TRUE(issue(slip(f)));
  EXPECT_EQ(lines_with("INSTRUCOESCAIXA"),
            std::vector<std::string>{DOC + ".PADROESBOLETO.INSTRUCOESCAIXA=C:" +
                                     utf8_to_cp1252("Após Vencimento cobrar R$ 24.69 de Multa e R$ 0.82 "
                                                    "ao Dia de Comissão de Permanência")});
}

TEST_F(Slips, MarkersOpenAndCloseOnlyInTurn) {
  // A final marker with no slip open, a second start inside an open slip,
  // and a slip still open when the file ends.
  auto f = full_slip();
  std::string text = fim();
  for (const auto& [name, tc] : f) text += field(name, tc.first, tc.second);
  text += inicio() + inicio() + fim() + fim() + inicio();
  ASSERT_TRUE(issue(text));
  EXPECT_EQ(rec->creations, 1);
  EXPECT_EQ(prints(), 1u);
  // The marker records are stored like any other.
  EXPECT_EQ(*state.slip_fields.find("WINICIO"), Value("=+inicio_boleto+="));
}

TEST_F(Slips, AMissingFieldStopsTheJobAndNamesTheField) {
  auto f = full_slip();
  f.erase("NomeSacado");
  ASSERT_FALSE(issue(slip(f) + slip(full_slip())));
  EXPECT_EQ(rec->creations, 0);
  EXPECT_EQ(prints(), 0u);
  ASSERT_EQ(messages.errors.size(), 1u);
  EXPECT_NE(messages.errors[0].find("wNomeSacado"), std::string::npos) << messages.errors[0];
  EXPECT_NE(messages.errors[0].find("Erro de execução"), std::string::npos);
}

TEST_F(Slips, AWronglyTypedFieldEndsTheJobButEarlierSlipsStayIssued) {
  auto bad = full_slip();
  bad["ProximoNossoNumero"] = {"C", "101"};
  ASSERT_FALSE(issue(slip(full_slip()) + slip(bad) + slip(full_slip())));
  EXPECT_EQ(prints(), 1u);
  ASSERT_EQ(messages.errors.size(), 1u);
  EXPECT_NE(messages.errors[0].find("wProximoNossoNumero"), std::string::npos) << messages.errors[0];

  messages.errors.clear();
  auto bad_value = full_slip();
  bad_value["ValorInstrucaoCobranca3"] = {"N", "5"};
  EXPECT_FALSE(issue(slip(bad_value)));
  ASSERT_EQ(messages.errors.size(), 1u);
  EXPECT_NE(messages.errors[0].find("wValorInstrucaoCobranca3"), std::string::npos);
}

TEST_F(Slips, AnInvalidFieldNameIsARuntimeError) {
  ASSERT_FALSE(issue(field("Nome Sacado", "C", "x") + slip(full_slip())));
  EXPECT_EQ(rec->creations, 0);
  ASSERT_EQ(messages.errors.size(), 1u);
  EXPECT_NE(messages.errors[0].find("wNome Sacado"), std::string::npos) << messages.errors[0];
}

TEST_F(Slips, ComponentFailuresAreReportedAndNothingIsPrinted) {
  rec->fail_on = "DOCUMENTOSCOBRANCA";
  ASSERT_FALSE(issue(slip(full_slip())));
  EXPECT_EQ(prints(), 0u);
  ASSERT_EQ(messages.errors.size(), 1u);
  EXPECT_EQ(messages.errors[0],
            "Erro de execução Recorder/1001\nDescrição: impressora sem papel\n"
            "Operação: DOCUMENTOSCOBRANCA\nA impressão foi interrompida.");
}

TEST_F(Slips, WithoutTheComponentTheCreationFails) {
  AutomationRegistry empty;
  for (AutomationRegistry* available : {static_cast<AutomationRegistry*>(nullptr), &empty}) {
    messages.errors.clear();
    state.start_job(slip(full_slip()));
    JobServices job{state, printers, messages, nullptr, available};
    EXPECT_FALSE(issue_slip_file(job));
    ASSERT_EQ(messages.errors.size(), 1u);
    EXPECT_EQ(messages.errors[0],
              "Erro de execução TOleAuto/1001 (subcódigo -1)\nDescrição: CO_E_CLASSSTRING\n"
              "Operação: CobreBemX.ContaCorrente\nA impressão foi interrompida.");
  }
}

TEST_F(Slips, TheDriverIssuesSlipFilesOnlyWhenTheyHoldNoRecord) {
  state.V_DADOS_ARQUIVO = slip(full_slip());
  JobServices job = services();
  EXPECT_EQ(IMPRIMIR_TXT(job, "fila"), JobOutcome::slips);
  EXPECT_EQ(prints(), 1u);

  state.V_DADOS_ARQUIVO = test::record({"B", "0", "0", "I-P-S"}) + slip(full_slip());
  EXPECT_EQ(IMPRIMIR_TXT(job, "fila"), JobOutcome::done);
  EXPECT_EQ(prints(), 1u);
}

// A previewed job sends each slip as for print, then asks for its pages
// instead of printing it.
TEST_F(Slips, APreviewShowsEverySlipAndPrintsNone) {
  PreviewDocument preview;
  state.start_job(slip(full_slip()) + slip(full_slip()));
  JobServices job = services();
  job.preview = &preview;
  ASSERT_TRUE(issue_slip_file(job));
  EXPECT_EQ(prints(), 0u);
  EXPECT_EQ(preview.page_count(), 2u);
  std::vector<std::string> expected = full_sequence();
  expected.back() = B + ".PREVIEWBOLETOS()";
  const std::vector<std::string> first(rec->lines.begin(), rec->lines.begin() + std::ptrdiff_t(expected.size()));
  EXPECT_EQ(first, expected);

  // A preview that offers no pages fails like any component.
  rec->pages = false;
  state.start_job(slip(full_slip()));
  EXPECT_FALSE(issue_slip_file(job));
  ASSERT_EQ(messages.errors.size(), 1u);
  EXPECT_NE(messages.errors[0].find("E_NOINTERFACE"), std::string::npos) << messages.errors[0];
  EXPECT_EQ(prints(), 0u);
}

// Each job reads only its own file's fields: a preview before a print leaves
// nothing behind that the print could take for a field of its file.
TEST_F(Slips, AJobDoesNotReadTheFieldsOfAnEarlierOne) {
  ASSERT_TRUE(issue(slip(full_slip())));
  auto f = full_slip();
  f.erase("NomeSacado");
  EXPECT_FALSE(issue(slip(f)));
  ASSERT_EQ(messages.errors.size(), 1u);
  EXPECT_NE(messages.errors[0].find("wNomeSacado"), std::string::npos) << messages.errors[0];
  EXPECT_EQ(prints(), 1u);
}

TEST(SlipFile, StartMarkerMustBeginWithinFiftyCharacters) {
  const std::string marker = "=+inicio_boleto+=";
  EXPECT_TRUE(IMPRESSAO_DE_BOLETOS(std::string(49, ' ') + marker));
  EXPECT_FALSE(IMPRESSAO_DE_BOLETOS(std::string(50, ' ') + marker));
  EXPECT_TRUE(IMPRESSAO_DE_BOLETOS(marker));
  EXPECT_FALSE(IMPRESSAO_DE_BOLETOS("=+inicio_boleto+"));
  EXPECT_FALSE(IMPRESSAO_DE_BOLETOS("=+INICIO_BOLETO+="));
}

struct SlipRecords : ::testing::Test {
  JobState s;
  void load(std::string text) { s.start_job(std::move(text)); }
  bool next() { return OBTER_LINHA_BOLETO(s); }
  void expect(std::string_view name, std::string_view type, std::string_view content) {
    ASSERT_TRUE(next());
    EXPECT_EQ(s.W_NOME_DO_CAMPO, name);
    EXPECT_EQ(s.W_TIPO_DO_CAMPO, type);
    EXPECT_EQ(s.W_CONTEUDO_CAMPO, content);
  }
};

TEST_F(SlipRecords, SeparatorsSplitNameTypeAndContent) {
  load("lixo /\\\\/x&#$|C&#$|a&#$|b&##&"   // more than two: only the last part counts
       " /\\\\/nome&#$|conteudo&##&"        // one: no type
       "/\\\\/tudo&##&"                      // none: all content
       "/\\\\/ v &#$|N&#$|12,50&##&");
  expect("x", "C", "b");
  expect("nome", "", "conteudo");
  expect("", "", "tudo");
  expect(" v ", "N", "12,50");
  EXPECT_FALSE(next());
  EXPECT_EQ(s.WTOT_LINHAS, 4);
  EXPECT_TRUE(s.WNAO_ACHOU_INICIO);
  EXPECT_FALSE(s.W_PRIMEIRA_LINHA);
}

TEST_F(SlipRecords, TheEndOfFileMarkerStopsReadingAnywhere) {
  load("/\\\\/a&#$|C&#$|1&##&/\\\\/b&#$|C&#$|2/#FIM@\\3&##&/\\\\/c&#$|C&#$|3&##&");
  expect("a", "C", "1");
  EXPECT_FALSE(next());
  load("/#FIM@\\/\\\\/a&#$|C&#$|1&##&");
  EXPECT_FALSE(next());
  EXPECT_EQ(s.WII, 8u);
  load("/\\\\/a&#$|C&#$|sem fim");
  EXPECT_FALSE(next());
}

TEST_F(Slips, FieldsAreStoredByTypeUnderW) {
  ASSERT_TRUE(issue(field("x", "C", "a&#$|b") + field(" v ", "N", "12,50") +
                    field("d", "D", "31/01/2024") + field("e", "Data", "31/02/2024") +
                    field("t", "", " 7 ") + field("x2", "n", "5")));
  EXPECT_EQ(*state.slip_fields.find("wx"), Value("b"));
  EXPECT_EQ(*state.slip_fields.find("WV"), Value(12.0));
  EXPECT_EQ(*state.slip_fields.find("wd"), Value(*Date::from_ymd(2024, 1, 31)));
  EXPECT_EQ(*state.slip_fields.find("we"), Value(Date{}));
  EXPECT_EQ(*state.slip_fields.find("wt"), Value(" 7 "));
  EXPECT_EQ(*state.slip_fields.find("wx2"), Value("5"));  // type letters are upper case
  EXPECT_EQ(state.W_DEFINIR_CAMPO, "wx2");
  EXPECT_EQ(rec->creations, 0);
}

}  // namespace
}  // namespace tarvo
