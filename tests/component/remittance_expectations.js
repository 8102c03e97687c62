// What each field of the files that remittance_files writes must hold, by
// the field names of @banco-br/cnab_yaml. Fields left out must hold the
// layout's default. The test slips: payee Papelaria Tarvo Ltda (CNPJ
// 11.222.333/0001-81), payer José da Conceição (CPF 123.456.789-09), issued
// 20/01/2008, due 02/02/2008, document NF 1234, amounts 135,00 and 20,50,
// instruction 06 and 5 protest days; file of 21/01/2008 with number 7.

const payee = { codigo_inscricao: 2, numero_inscricao: '11222333000181' };
const issued = { vencimento: '020208', data_emissao: '200108', numero_documento: 'NF 1234' };
const payer400 = {
  sacado_codigo_inscricao: 1, sacado_numero_inscricao: '12345678909', nome: 'JOSE DA CONCEICAO',
  logradouro: 'AV. SAO JOAO, 500', cep: '01035000',
};
const payerCity400 = { ...payer400, bairro: 'CENTRO', cidade: 'SAO PAULO', estado: 'SP' };
// The amounts, and the charge of a day (2 % a month) that the slip's text states.
const amounts = [{ valor_titulo: 13500, juros_um_dia: 9 }, { valor_titulo: 2050, juros_um_dia: 1 }];

const itauDetail = (i) => ({
  ...payee, ...issued, ...payerCity400, ...amounts[i],
  agencia: '0810', conta: '53678', conta_dv: 9, codigo_instrucao: 0, uso_empresa: 'NF 1234',
  nosso_numero: 258281 + i, qtde_moeda: 0, numero_carteira: 175, uso_banco: '', codigo_carteira: 'I',
  especie: '01', aceite: 'N', sacador: '', numero_sequencial: i + 2,
  // The slip's instruction; no second instruction; protest after 5 days.
  instrucao1: '06', instrucao2: '00', prazo: 5,
});

const bradescoDetail = (i) => ({
  ...issued, ...payer400, valor_titulo: amounts[i].valor_titulo, juros_um_dia: amounts[i].juros_um_dia,
  numero_carteira: 9, agencia: 1234, conta: '0403005', conta_dv: 2, uso_empresa: 'NF 1234',
  multa: 2, valor_multa: 200, nosso_numero: 21 + i, digito_nosso_numero: [6, 4][i], numero_sequencial: i + 2,
  // Protest (06) after 5 days, the days as the second instruction.
  instrucao1: '06', instrucao2: '05',
});

const bbDetail = (i) => ({
  ...payee, ...issued, ...payerCity400, ...amounts[i],
  agencia: 1584, agencia_dv: '9', conta: 210169, conta_dv: '6', numero_convenio: 1234567, uso_empresa: 'NF 1234',
  nosso_numero: '1234567' + String(42 + i).padStart(10, '0'), variacao_carteira: '027', numero_carteira: 18,
  especie: '01', aceite: 'N', sacador: '', numero_sequencial: i + 2,
  instrucao1: '06', prazo: '05',
});

const bb240Company = {
  codigo_banco: 1, codigo_inscricao: 2, codigo_convenio: 1234567, carteira: 18, variacao_carteira: '027',
  agencia: 1584, agencia_dv: '9', conta: 210169, conta_dv: '6', nome_empresa: 'PAPELARIA TARVO LTDA',
};
const caixaCompany = {
  codigo_banco: 104, codigo_inscricao: 2, agencia: 1234, agencia_dv: 3, nome_empresa: 'PAPELARIA TARVO LTDA',
};
const detail240 = (bank, sequence) => ({ codigo_banco: bank, lote_servico: 1, numero_sequencial_lote: sequence, codigo_ocorrencia: 1 });
const segmentP = (bank, i) => ({
  ...detail240(bank, 2 * i + 1), vencimento: '02022008', data_emissao: '20012008',
  valor_titulo: amounts[i].valor_titulo, valor_juros_mora: amounts[i].juros_um_dia, numero_documento: 'NF 1234',
  codigo_carteira: 1, forma_cadastramento: 1, especie: '02', aceite: 'N', valor_abatimento: 0, uso_empresa: 'NF 1234',
  // Interest a day from the day after the due date; protest after 5 days;
  // return after 90.
  codigo_juros_mora: '1', data_juros_mora: '03022008', codigo_protesto: 1, prazo_protesto: 5, codigo_baixa: 1,
  prazo_baixa: 90,
});
const segmentQ = (bank, i) => ({
  ...detail240(bank, 2 * i + 2), sacado_codigo_inscricao: 1, sacado_numero_inscricao: '12345678909',
  nome: 'JOSE DA CONCEICAO', logradouro: 'AV. SAO JOAO, 500', bairro: 'CENTRO', cep: '01035000', cidade: 'SAO PAULO',
  estado: 'SP',
});
const headers240 = (bank, company) => [
  ['header_arquivo', {
    ...company, numero_inscricao: '11222333000181', codigo_remessa_retorno: 1, data_geracao: '21012008',
    hora_geracao: 0, numero_sequencial_arquivo: 7,
  }],
  ['header_lote', {
    ...company, lote_servico: 1, tipo_operacao: 'R', numero_inscricao: '011222333000181', data_geracao: '21012008',
    numero_sequencial_arquivo: 7,
  }],
];
const trailerFile240 = (bank) => ['trailer_arquivo', { codigo_banco: bank, qtde_lotes: 1, qtde_registros: 8 }];

module.exports = [
  {
    name: 'itau400.rem', layout: 'cnab400', bank: '341',
    records: [
      ['header_arquivo', {
        agencia: '0810', conta: '53678', conta_dv: 9, nome_empresa: 'PAPELARIA TARVO LTDA', nome_banco: 'BANCO ITAU SA',
        data_geracao: '210108',
      }],
      ['detalhe', itauDetail(0)], ['detalhe', itauDetail(1)], ['trailer_arquivo', { numero_sequencial: 4 }],
    ],
  },
  {
    name: 'bradesco400.rem', layout: 'cnab400', bank: '237',
    records: [
      ['header_arquivo', {
        codigo_cedente: 4567890, razao_social: 'PAPELARIA TARVO LTDA', nome_banco: 'BRADESCO', data_geracao: '210108',
        sequencial_remessa: 7,
      }],
      ['detalhe', bradescoDetail(0)], ['detalhe', bradescoDetail(1)], ['trailer_arquivo', { numero_sequencial: 4 }],
    ],
  },
  {
    name: 'bb400.rem', layout: 'cnab400', bank: '001',
    records: [
      ['header_arquivo', {
        agencia: 1584, agencia_dv: '9', conta: 210169, conta_dv: '6', nome_empresa: 'PAPELARIA TARVO LTDA',
        data_geracao: '210108', numero_sequencial: 7, convenio_lider: 1234567,
      }],
      ['detalhe', bbDetail(0)], ['detalhe', bbDetail(1)], ['trailer_arquivo', { numero_sequencial: 4 }],
    ],
  },
  {
    name: 'bb240.rem', layout: 'cnab240', bank: '001',
    records: [
      ...headers240(1, bb240Company).map(([record, fields]) => [record, {
        ...fields,
        // The versions Banco do Brasil takes today (the package's are older);
        // no paperless collection.
        ...(record === 'header_arquivo' ? { nome_banco: 'BANCO DO BRASIL', versao_layout_arquivo: '083', identificacao_cobranca_sem_papel: '' }
                                        : { versao_layout_lote: '042' }),
      }]),
      ['detalhe_segmento_p', { ...segmentP(1, 0), agencia: 1584, agencia_dv: '9', conta: 210169, conta_dv: '6', nosso_numero: '12345670000000042' }],
      ['detalhe_segmento_q', segmentQ(1, 0)],
      ['detalhe_segmento_p', { ...segmentP(1, 1), agencia: 1584, agencia_dv: '9', conta: 210169, conta_dv: '6', nosso_numero: '12345670000000043' }],
      ['detalhe_segmento_q', segmentQ(1, 1)],
      ['trailer_lote', { codigo_banco: 1, lote_servico: 1, qtde_registro_lote: 6 }],
      trailerFile240(1),
    ],
  },
  {
    name: 'caixa240.rem', layout: 'cnab240', bank: '104',
    records: [
      ...headers240(104, caixaCompany).map(([record, fields]) => [record, {
        ...fields,
        ...(record === 'header_arquivo'
          // SIGCB: zeros before the branch, the beneficiary code at 59-64;
          // 65-71 zeros (the package names those positions twice, once as
          // blanks); layout version 101.
          ? { nome_banco: 'CAIXA ECONOMICA FEDERAL', codigo_convenio: 0, codigo_cedente: '005507', uso_exclusivo_banco_01: '0000000', versao_layout_arquivo: '101' }
          // SIGCB: the beneficiary code at 34-39 and 60-65; batch version 060.
          : { codigo_convenio: '005507', codigo_cedente: '005507', versao_layout_lote: '060' }),
      }]),
      // SIGCB segment P: beneficiary at 24-29, modality 14 (registered,
      // issued by the beneficiary), 15-digit nosso número; a printed slip
      // (document kind 1).
      ['detalhe_segmento_p', { ...segmentP(104, 0), agencia: 1234, agencia_dv: 3, codigo_cedente: '005507', modalidade_carteira: 14, nosso_numero: 258281, numero_documento: 'NF 1234', tipo_documento: '1' }],
      // The payer's segment; no drawer; 210-212 zeros (FEBRABAN's bank of a
      // correspondent, blanks in the package's older layout).
      ['detalhe_segmento_q', { ...segmentQ(104, 0), sacador_codigo_inscricao: 0, sacador_numero_inscricao: 0, sacador_nome: '', uso_exclusivo_febraban_02: '000' }],
      ['detalhe_segmento_p', { ...segmentP(104, 1), agencia: 1234, agencia_dv: 3, codigo_cedente: '005507', modalidade_carteira: 14, nosso_numero: 258282, numero_documento: 'NF 1234', tipo_documento: '1' }],
      ['detalhe_segmento_q', { ...segmentQ(104, 1), sacador_codigo_inscricao: 0, sacador_numero_inscricao: 0, sacador_nome: '', uso_exclusivo_febraban_02: '000' }],
      ['trailer_lote', {
        codigo_banco: 104, lote_servico: 1, qtde_registro_lote: 6, qtde_titulo_cobranca_simples: 2,
        valor_total_titulo_simples: 15550, qtde_titulo_cobranca_caucionada: 0, valor_total_titulo_caucionada: 0,
        qtde_titulo_cobranca_descontada: 0, valor_total_titulo_descontada: 0,
      }],
      trailerFile240(104),
    ],
  },
];
