#!/usr/bin/env python3
"""Writes the five order-document templates, the bay plan's sheet and the tyre storage's receipt and labels
(Windows-1251 RTF). Each field the
document writers emit has exactly one placeholder (a field fills only its first placeholder after the text
already merged), and the header fields stand before the table section, the totals after it, as the writers
emit them."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
WIDTH = 9922  # A4 text width in twips with the margins below

HEAD = (r"{\rtf1\ansi\ansicpg1251\deff0\deflang1049"
        r"{\fonttbl{\f0\froman\fcharset204 Times New Roman;}{\f1\fswiss\fcharset204 Arial;}}"
        "\n" r"\paperw11906\paperh16838\margl1134\margr850\margt850\margb850" "\n"
        r"\pard\plain\f0\fs20" "\n")


def para(text, align="l", size=20, bold=False, before=0, after=60):
    b = r"\b" if bold else ""
    return (r"\pard\plain\q%s\sb%d\sa%d\f0\fs%d%s {%s}\par" % (align, before, after, size, b, text)) + "\n"


def cell_defs(widths, border=True):
    out, x = "", 0
    for w in widths:
        x += w
        if border:
            out += r"\clbrdrt\brdrs\brdrw10\clbrdrl\brdrs\brdrw10\clbrdrb\brdrs\brdrw10\clbrdrr\brdrs\brdrw10"
        out += r"\clvertalc\cellx%d" % x
    return out


def row(cells, widths, border=True, bold=False, size=18, aligns=None):
    aligns = aligns or ["l"] * len(cells)
    b = r"\b" if bold else ""
    out = r"\trowd\trgaph57\trleft0" + cell_defs(widths, border) + "\n"
    for text, a in zip(cells, aligns):
        out += r"\pard\plain\intbl\q%s\f0\fs%d%s {%s}\cell" % (a, size, b, text) + "\n"
    return out + r"\row" + "\n"


def section(cells, widths, aligns):
    # The row between the markers repeats once per data row.
    return "{#D1#}" + row(cells, widths, aligns=aligns) + "{#1D#}"


def company():
    return (para("#MainName#", size=24, bold=True, after=0) +
            para("ИНН/КПП: #MainINN#", after=0) +
            para("Адрес: #MainAdres#", after=0) +
            para("Тел.: #MainTel#    Факс: #MainFaks#", after=120))


def car_client_block(tel_field="ClientTel"):
    w = [WIDTH // 2, WIDTH - WIDTH // 2]
    return (row([r"{\b Заказчик:} #ClientName#", r"{\b Автомобиль:} #AvtoMarka#"], w, border=False, size=20) +
            row([r"{\b Адрес:} #ClientAdres#", r"{\b Гос. номер:} #AvtoNomer#"], w, border=False, size=20) +
            row([r"{\b ИНН:} #ClientINN#", r"{\b VIN:} #AvtoVIN#"], w, border=False, size=20) +
            row([r"{\b Телефон:} #%s#" % tel_field, r"{\b Номер двигателя:} #AvtoDvig#"], w, border=False,
                size=20) +
            row(["", r"{\b Цвет:} #AvtoColor#"], w, border=False, size=20) +
            para(r"{\b Примечание:} #AvtoPrim#", before=60, after=120))


WORK_W = [500, 4122, 800, 1200, 1300, 2000]
WORK_A = ["c", "l", "c", "r", "r", "l"]


def works_table():
    return (row(["№", "Наименование работ (услуг)", "Кол-во", "Цена", "Сумма с НДС", "Исполнители"], WORK_W,
                bold=True, aligns=["c"] * 6) +
            section(["#pp#", "#ServiceName#", "#kol#", "#price#", "#summa#", "#work#"], WORK_W, WORK_A) +
            row(["", r"{\b Итого:}", "", "", r"{\b #itog#}", ""], WORK_W, aligns=WORK_A))


def works_totals():
    return (para(r"Всего на сумму: {\b #itogP#}", before=120, after=0) +
            para("В том числе НДС: #SummaNDS# руб.", after=240))


def signatures(left, right):
    w = [WIDTH // 2, WIDTH - WIDTH // 2]
    return (row([left, right], w, border=False, size=20) +
            row(["______________________ /______________/", "______________________ /______________/"], w,
                border=False, size=20) +
            row(["М.П.", "М.П."], w, border=False, size=20))


def zakaz_narad():
    return (HEAD + company() +
            para(r"ЗАКАЗ-НАРЯД № #ZakazNomer# от #ZakazData#", "c", 28, True, 120, 200) +
            car_client_block() + works_table() + works_totals() +
            para("С объемом и стоимостью работ согласен. Автомобиль сдал.", after=240) +
            signatures("Мастер-приемщик", "Заказчик") + para("Напечатано #DATE# #TIME#", size=14, before=240) +
            "}")


def akt():
    return (HEAD + company() +
            para(r"АКТ № #ZakazNomer# от #ZakazData#", "c", 28, True, 120, 0) +
            para(r"выполненных работ (оказанных услуг) по заказ-наряду № #nomerZ#", "c", 22, True, 0, 200) +
            car_client_block() + works_table() + works_totals() +
            para("Вышеперечисленные работы (услуги) выполнены полностью и в срок. Заказчик претензий по "
                 "объему, качеству и срокам оказания услуг не имеет.", after=240) +
            signatures(r"{\b Исполнитель:}", r"{\b Заказчик:}") +
            "}")


def zajvka():
    w = [2600, WIDTH - 2600]
    lines = [("Заказчик:", "ClientName"), ("Адрес:", "ClientAdres"), ("ИНН:", "ClientINN"),
             ("Телефон:", "ClinetTel"), ("Автомобиль:", "AvtoMarka"), ("Гос. номер:", "AvtoNomer"),
             ("VIN:", "AvtoVIN"), ("Номер двигателя:", "AvtoDvig"), ("Цвет:", "AvtoColor"),
             ("Примечание:", "AvtoPrim")]
    block = "".join(row([r"{\b %s}" % cap, "#%s#" % f], w, border=False, size=20) for cap, f in lines)
    return (HEAD + company() +
            para(r"ЗАЯВКА НА ВЫПОЛНЕНИЕ РАБОТ от #ZakazData#", "c", 28, True, 120, 200) +
            block + para("", after=60) + works_table() + works_totals() +
            signatures("Принял", "Заказчик") + "}")


INV_W = [450, 3222, 750, 1000, 1150, 700, 1150, 1500]
INV_A = ["c", "l", "c", "r", "r", "c", "r", "r"]


def invoice_rows(head):
    return (row(head, INV_W, bold=True, size=16, aligns=["c"] * 8) +
            section(["#pp#", "#ServiceName#", "#kol#", "#price#", "#summa#", "#nds#", "#summaNds#", "#itog#"],
                    INV_W, INV_A))


def schet():
    bank_w = [5200, 1300, WIDTH - 6500]
    return (HEAD +
            para(r"СЧЕТ НА ОПЛАТУ № #nomer# от #data#", "c", 28, True, 0, 0) +
            para("по заказ-наряду № #nomerZ#", "c", 20, False, 0, 200) +
            row([r"Получатель: {\b #MainName#}", "ИНН", "#INN#"], bank_w, size=18) +
            row(["", "Сч. №", "#MainChet#"], bank_w, size=18) +
            row(["Банк получателя: #MainBank#", "Корр. сч.", "#MainKorChet#"], bank_w, size=18) +
            row(["", "БИК", "#MainBIK#"], bank_w, size=18) +
            para("Адрес поставщика: #MainAdres#, тел. #MainTel#, факс #MainFaks#", before=120, after=60) +
            para(r"Плательщик: {\b #ClientName#}", after=0) +
            para("#ClientData#", after=160) +
            invoice_rows(["№", "Наименование работ (услуг)", "Кол-во", "Цена без НДС", "Сумма без НДС",
                          "НДС, %", "Сумма НДС", "Всего с НДС"]) +
            row(["", r"{\b Итого:}", "#colZ#", "", r"{\b #summaZ#}", "", r"{\b #summaNdsZ#}",
                 r"{\b #itogZ#}"], INV_W, size=16, aligns=INV_A) +
            para(r"Всего к оплате: {\b #itogP#}", before=160, after=0) +
            para("В том числе НДС: #SumNDS# руб.", after=360) +
            signatures(r"Руководитель (#MainChif#)", r"Главный бухгалтер (#MainByx#)") + "}")


LAND_WIDTH = 14854  # landscape A4 text width
LAND_HEAD = HEAD.replace(r"\paperw11906\paperh16838", r"\paperw16838\paperh11906\landscape")
FAKT_W = [450, 3204, 700, 900, 900, 1100, 1300, 900, 800, 1300, 1400, 900, 1000]
FAKT_A = ["c", "l", "c", "c", "c", "r", "r", "c", "c", "r", "r", "c", "c"]


def schet_fakt():
    w = [3600, LAND_WIDTH - 3600]
    head = ["№ п/п", "Наименование товара (описание выполненных работ, оказанных услуг), имущественного права",
            "Код вида товара", "Единица измерения (код, условное обозначение)", "Количество (объем)",
            "Цена (тариф) за единицу измерения", "Стоимость товаров (работ, услуг) без налога - всего",
            "В том числе сумма акциза", "Налоговая ставка", "Сумма налога, предъявляемая покупателю",
            "Стоимость товаров (работ, услуг) с налогом - всего", "Страна происхождения",
            "Номер таможенной декларации"]
    numbers = ["1", "1а", "1б", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"]
    line = ["#pp#", "#ServiceName#", "--", "-- / усл. ед.", "#kol#", "#price#", "#summa#", "без акциза", "#nds#",
            "#summaNds#", "#itog#", "--", "--"]
    return (LAND_HEAD +
            para("Приложение № 1 к постановлению Правительства Российской Федерации от 26 декабря 2011 г. № 1137",
                 "r", 14, False, 0, 60) +
            para(r"СЧЕТ-ФАКТУРА № #nomer# от #data#", "l", 26, True, 0, 0) +
            para("ИСПРАВЛЕНИЕ № ----- от -----", "l", 18, False, 0, 100) +
            row(["Продавец:", r"{\b #MainName#}"], w, border=False, size=16) +
            row(["Адрес:", "#MainAdres#"], w, border=False, size=16) +
            row(["ИНН/КПП продавца:", "#MainINN#"], w, border=False, size=16) +
            row(["Грузоотправитель и его адрес:", "он же"], w, border=False, size=16) +
            row(["Грузополучатель и его адрес:", "--"], w, border=False, size=16) +
            row(["К платежно-расчетному документу № ---- от", "----"], w, border=False, size=16) +
            row(["Документ об отгрузке:", "акт выполненных работ (оказанных услуг)"], w, border=False,
                size=16) +
            row(["Покупатель:", r"{\b #ClientName#}"], w, border=False, size=16) +
            row(["Адрес:", "#ClientAdres#"], w, border=False, size=16) +
            row(["ИНН/КПП покупателя:", "#ClientINN#"], w, border=False, size=16) +
            row(["Валюта: наименование, код:", "Российский рубль, 643"], w, border=False, size=16) +
            row(["Идентификатор государственного контракта, договора (соглашения) (при наличии):", ""], w,
                border=False, size=16) +
            para("", after=60) +
            row(head, FAKT_W, bold=True, size=14, aligns=["c"] * 13) +
            row(numbers, FAKT_W, size=14, aligns=["c"] * 13) +
            "{#D1#}" + row(line, FAKT_W, size=16, aligns=FAKT_A) + "{#1D#}" +
            row(["", r"{\b Всего к оплате}", "", "", "", "", r"{\b #summaZ#}", "X", "", r"{\b #summaNdsZ#}",
                 r"{\b #itogZ#}", "", ""], FAKT_W, size=16, aligns=FAKT_A) +
            para("", after=200) +
            row(["Руководитель организации или иное уполномоченное лицо",
                 "______________ / #MainChif# /", "Главный бухгалтер или иное уполномоченное лицо",
                 "______________ / #MainByx# /"], [3300, 4127, 3300, 4127], border=False, size=16) +
            row(["Индивидуальный предприниматель или иное уполномоченное лицо", "______________ / ______________ /",
                 "", "______________________________________________ (реквизиты свидетельства о государственной "
                 "регистрации индивидуального предпринимателя)"], [3300, 4127, 3300, 4127], border=False, size=12) +
            "}")


PLAN_WIDTH = 10772  # A4 text width in twips with margins of 1 cm, so that a full day fits one page
PLAN_W = [1650, 850, 1300, 2800, PLAN_WIDTH - 6600]
PLAN_A = ["l", "c", "c", "l", "l"]


def plan_box():
    # Per bay with work: its heading and the captions (section 1), then a row per order (section 2). The
    # writer emits every bay's heading before its orders, so each section is first reached in this order.
    head = HEAD.replace(r"\margl1134\margr850\margt850\margb850", r"\margl567\margr567\margt567\margb567")
    heading = r"\pard\plain\keepn\ql\sb160\sa40\f0\fs22\b {#Box#}\par" + "\n"
    captions = row(["Время", "Заказ", "Гос. номер", "Клиент", "Услуги"], PLAN_W, bold=True, size=16,
                   aligns=["c"] * 5)
    order = row(["#time#", "#nomer#", "#AvtoNomer#", "#ClientName#", "#services#"], PLAN_W, size=18,
                aligns=PLAN_A)
    return (head +
            para("План работ на #PlanDate#", "c", 28, True, 0, 0) +
            para("#MainName#", "c", 20, False, 0, 60) +
            "{#D1#}" + heading + captions + "{#1D#}" +
            "{#D2#}" + order + "{#2D#}" +
            para("#FreeBays#", size=18, before=160, after=0) +
            para("Напечатано #Printed#", size=14, before=120) + "}")


def tyre_receipt():
    # One A4 page: the shop, the receipt's number (the set's code) and day, the client and the car, the set's
    # card, where it is kept and until when it is paid, the fee and the two signatures.
    half = [WIDTH // 2, WIDTH - WIDTH // 2]
    card_w = [3400, WIDTH - 3400]
    card = [("Сезон", "Season"), ("Производитель и модель", "Model"), ("Размер", "Size"),
            ("Количество", "Count"), ("Диски", "Rims"), ("Глубина протектора, мм", "Tread"),
            ("Повреждения", "Damage")]
    return (HEAD +
            para("#MainName#", size=24, bold=True, after=0) +
            para("Адрес: #MainAdres#", after=0) +
            para("Тел.: #MainTel#", after=120) +
            para(r"КВИТАНЦИЯ № #Code# от #ReceiptDate#", "c", 28, True, 240, 0) +
            para("о приёме шин на хранение", "c", 24, True, 0, 240) +
            row([r"{\b Клиент:} #ClientName#", r"{\b Телефон:} #ClientTel#"], half, border=False, size=20) +
            row([r"{\b Автомобиль:} #AvtoMarka#", r"{\b Гос. номер:} #AvtoNomer#"], half, border=False,
                size=20) +
            para("Комплект шин", size=22, bold=True, before=240, after=60) +
            "".join(row([cap, "#%s#" % field], card_w, size=20) for cap, field in card) +
            para(r"{\b Место хранения:} #Place#", before=240, after=60) +
            row([r"{\b Принят на хранение:} #DateIn#", r"{\b Оплачено до:} #PaidUntil#"], half, border=False,
                size=20) +
            para(r"{\b Стоимость хранения за сезон:} #Fee# руб.", before=60, after=160) +
            para("Комплект выдаётся по предъявлении этой квитанции. Хранение сверх оплаченного срока "
                 "оплачивается за каждый начатый сезон.", size=18, after=480) +
            row(["Сдал: ______________ / клиент /", "Принял: ______________ / #Clerk# /"], half, border=False,
                size=20) +
            "}")


LABEL_WIDTH = 10772  # A4 text width with margins of 1 cm
LABEL_HEIGHT = 3800  # exact: four labels and the closing paragraph take less than the page's 15704 twips


def tyre_labels():
    # A label per tyre, one repeated row each, four to a page; dashed borders to cut along. The height is
    # exact so that a long name is cut short rather than pushing a label onto the next page.
    head = HEAD.replace(r"\margl1134\margr850\margt850\margb850", r"\margl567\margr567\margt567\margb567")
    edges = "".join(r"\clbrdr%s\brdrdash\brdrw10" % side for side in "tlbr")
    label = (r"\trowd\trgaph113\trleft0\trrh-%d%s\clvertalc\cellx%d" % (LABEL_HEIGHT, edges, LABEL_WIDTH) + "\n" +
             r"\pard\plain\intbl\qc\sa60\f1\fs120\b {#AvtoNomer#}\par" + "\n" +
             r"\pard\plain\intbl\qc\sa60\f0\fs32 {#ClientName#}\par" + "\n" +
             r"\pard\plain\intbl\qc\sa60\f0\fs36\b {#Place#}\par" + "\n" +
             r"\pard\plain\intbl\qc\f0\fs32 {Код: }{\b #Code#}{    #Season#    }{\b #Number#}\cell" + "\n" +
             r"\row" + "\n")
    return head + "{#D1#}" + label + "{#1D#}" + r"\pard\plain\fs2\par" + "\n}"


def write(name, text):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(text.encode("cp1251"))


if __name__ == "__main__":
    write("szakaz_nar.rtf", zakaz_narad())
    write("schet.rtf", schet())
    write("schetFakt.rtf", schet_fakt())
    write("sakt.rtf", akt())
    write("szajvka.rtf", zajvka())
    write("splan_box.rtf", plan_box())
    write("stire_receipt.rtf", tyre_receipt())
    write("stire_labels.rtf", tyre_labels())
