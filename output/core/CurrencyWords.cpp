#include "CurrencyWords.h"

#include <QHash>
#include <QStringList>
#include <vector>

namespace {

using G = CurrencyWords::Gender;

struct MinorUnit {
    const char *stem;
    std::array<const char *, 3> endings;
};

const MinorUnit kNoMinor{nullptr, {"", "", ""}};
const MinorUnit kCent{"цент", {"", "а", "ов"}};
const MinorUnit kSantim{"сантим", {"", "а", "ов"}};
const MinorUnit kCentavo{"сентаво", {"", "", ""}};
const MinorUnit kCentimo{"сентимо", {"", "", ""}};
const MinorUnit kCentesimo{"сентесимо", {"", "", ""}};
const MinorUnit kFils{"филс", {"", "а", "ов"}};
const MinorUnit kPence{"пенс", {"", "а", "ов"}};
const MinorUnit kPiastre{"пиастр", {"", "а", "ов"}};
const MinorUnit kPaisa{"пайс", {"а", "ы", ""}};
const MinorUnit kSen{"сен", {"", "", ""}};
const MinorUnit kOre{"эре", {"", "", ""}};
const MinorUnit kHaler{"геллер", {"", "а", "ов"}};
const MinorUnit kDirham{"дирхам", {"", "а", "ов"}};
const MinorUnit kChon{"чон", {"", "", ""}};

// A row whose unit word is written whole in its three count forms (1, 2-4, 5-20), each ending in a blank.
CurrencyWords Unit(const char *keys, G gender, const char *one, const char *two, const char *five,
                   const MinorUnit &minor) {
    CurrencyWords w{};
    w.keys = keys;
    w.stem = "";
    w.endings = {one, two, five};
    w.gender = gender;
    w.minorStem = minor.stem;
    w.minorEndings = minor.endings;
    w.minor = minor.stem ? CurrencyWords::Minor::AsAsked : CurrencyWords::Minor::Never;
    return w;
}

// Rows named "<country adjective> <unit>", as Russian accountants write them.
CurrencyWords Dollar(const char *keys, const char *one, const char *two, const char *five) {
    return Unit(keys, G::Masculine, one, two, five, kCent);
}

// The rows spelled out field by field: the rouble and its kin, the US dollar, fractions, and units
// whose forms need a suffix of their own.
void AddSpecialRows(std::vector<CurrencyWords> &t) {
    CurrencyWords ig{};
    ig.keys = "IG";  // digits, not words: handled before the table's words are used
    ig.stem = "";
    ig.endings = {"", "", ""};
    t.push_back(ig);

    CurrencyWords rub{};
    rub.keys = "643";
    rub.stem = "рубл";
    rub.endings = {"ь ", "я ", "ей "};
    rub.minorStem = "копе";
    rub.minorEndings = {"йка", "йки", "ек"};
    t.push_back(rub);

    CurrencyWords obj = rub;
    obj.keys = "OBJ";
    obj.minor = CurrencyWords::Minor::Never;
    t.push_back(obj);

    CurrencyWords byr{};
    byr.keys = "974";
    byr.stem = "рубл";
    byr.endings = {"ь ", "я ", "ей "};
    byr.adjective = {" белорусский ", " белорусских ", " белорусских "};
    byr.minor = CurrencyWords::Minor::Never;
    byr.capitalise = false;
    t.push_back(byr);

    CurrencyWords usd{};
    usd.keys = "840 716 738 749 780 901 951";
    usd.stem = "долла";
    usd.endings = {"р ", "ра ", "ров "};
    usd.suffix = " США ";
    usd.minorStem = "цент";
    usd.minorEndings = {" ", "а ", "ов "};
    t.push_back(usd);

    // "одна целая и 50 сотых": the whole part of a fraction is feminine.
    CurrencyWords pr{};
    pr.keys = "PR";
    pr.stem = "цел";
    pr.endings = {"ая и ", "ые и ", "ых и "};
    pr.gender = G::Feminine;
    pr.minorStem = "сот";
    pr.minorEndings = {"ая ", "ые ", "ых "};
    pr.minor = CurrencyWords::Minor::Always;
    pr.capitalise = false;
    t.push_back(pr);

    CurrencyWords tjs{};
    tjs.keys = "972";
    tjs.stem = "сомани";
    tjs.endings = {" ", " ", " "};
    tjs.minor = CurrencyWords::Minor::Never;
    t.push_back(tjs);

    // The words are glued to the pence otherwise, so every form ends in a blank.
    CurrencyWords gbp{};
    gbp.keys = "826";
    gbp.stem = "фунт";
    gbp.endings = {" стерлингов ", "а стерлингов ", "ов стерлингов "};
    gbp.minorStem = "пенс";
    gbp.minorEndings = {" ", "а ", "ов "};
    t.push_back(gbp);
}

// Rows that several keys share name the unit alone.
void AddSharedRows(std::vector<CurrencyWords> &t) {
    t.push_back(Unit("108 950 952 953", G::Masculine, "франк ", "франка ", "франков ", kSantim));
    t.push_back(Unit("404 800 834", G::Masculine, "шиллинг ", "шиллинга ", "шиллингов ", kCent));
    t.push_back(Unit("608 624", G::Neuter, "песо ", "песо ", "песо ", kCentavo));
    t.push_back(Unit("760 818", G::Masculine, "фунт ", "фунта ", "фунтов ", kPiastre));
    t.push_back(
        Unit("860 928", G::Masculine, "сум ", "сума ", "сумов ", MinorUnit{"тийин", {"", "а", "ов"}}));
    t.push_back(Unit("795 914", G::Masculine, "манат ", "маната ", "манатов ", kNoMinor));
}

// Rows kept without a minor unit.
void AddRowsWithoutMinor(std::vector<CurrencyWords> &t) {
    t.push_back(
        Unit("020", G::Feminine, "андоррская песета ", "андоррские песеты ", "андоррских песет ", kNoMinor));
    t.push_back(
        Unit("099", G::Feminine, "денежная единица ", "денежные единицы ", "денежных единиц ", kNoMinor));
    t.push_back(
        Unit("191", G::Feminine, "хорватская куна ", "хорватские куны ", "хорватских кун ", kNoMinor));
    t.push_back(Unit("222", G::Masculine, "сальвадорский колон ", "сальвадорских колона ",
                     "сальвадорских колонов ", kNoMinor));
    t.push_back(
        Unit("498", G::Masculine, "молдавский лей ", "молдавских лея ", "молдавских леев ", kNoMinor));
    t.push_back(Unit("558", G::Feminine, "кордоба ", "кордобы ", "кордоб ", kNoMinor));
    t.push_back(
        Unit("625", G::Feminine, "денежная единица ", "денежные единицы ", "денежных единиц ", kNoMinor));
    t.push_back(Unit("748", G::Masculine, "лилангени ", "лилангени ", "лилангени ", kNoMinor));
    t.push_back(Unit("784", G::Masculine, "дирхам ОАЭ ", "дирхама ОАЭ ", "дирхамов ОАЭ ", kNoMinor));
    t.push_back(Unit("807", G::Masculine, "македонский денар ", "македонских денара ", "македонских денаров ",
                     kNoMinor));
}

void AddDollars(std::vector<CurrencyWords> &t) {
    t.push_back(Dollar("044", "багамский доллар ", "багамских доллара ", "багамских долларов "));
    t.push_back(Dollar("052", "барбадосский доллар ", "барбадосских доллара ", "барбадосских долларов "));
    t.push_back(Dollar("060", "бермудский доллар ", "бермудских доллара ", "бермудских долларов "));
    t.push_back(Dollar("084", "белизский доллар ", "белизских доллара ", "белизских долларов "));
    t.push_back(Dollar("090", "доллар Соломоновых Островов ", "доллара Соломоновых Островов ",
                       "долларов Соломоновых Островов "));
    t.push_back(Dollar("096", "брунейский доллар ", "брунейских доллара ", "брунейских долларов "));
    t.push_back(Dollar("124", "канадский доллар ", "канадских доллара ", "канадских долларов "));
    t.push_back(
        Dollar("136", "доллар Островов Кайман ", "доллара Островов Кайман ", "долларов Островов Кайман "));
    t.push_back(Dollar("242", "доллар Фиджи ", "доллара Фиджи ", "долларов Фиджи "));
    t.push_back(Dollar("328", "гайанский доллар ", "гайанских доллара ", "гайанских долларов "));
    t.push_back(Dollar("344", "гонконгский доллар ", "гонконгских доллара ", "гонконгских долларов "));
    t.push_back(Dollar("388", "ямайский доллар ", "ямайских доллара ", "ямайских долларов "));
    t.push_back(Dollar("430", "либерийский доллар ", "либерийских доллара ", "либерийских долларов "));
    t.push_back(Dollar("516", "доллар Намибии ", "доллара Намибии ", "долларов Намибии "));
    t.push_back(
        Dollar("554", "новозеландский доллар ", "новозеландских доллара ", "новозеландских долларов "));
    t.push_back(Dollar("702", "сингапурский доллар ", "сингапурских доллара ", "сингапурских долларов "));
}

void AddFrancs(std::vector<CurrencyWords> &t) {
    t.push_back(
        Unit("174", G::Masculine, "коморский франк ", "коморских франка ", "коморских франков ", kSantim));
    t.push_back(Unit("262", G::Masculine, "франк Джибути ", "франка Джибути ", "франков Джибути ", kSantim));
    t.push_back(
        Unit("324", G::Masculine, "гвинейский франк ", "гвинейских франка ", "гвинейских франков ", kSantim));
    t.push_back(Unit("450", G::Masculine, "малагасийский франк ", "малагасийских франка ",
                     "малагасийских франков ", kSantim));
    t.push_back(
        Unit("466", G::Masculine, "малийский франк ", "малийских франка ", "малийских франков ", kSantim));
    t.push_back(Unit("646", G::Masculine, "франк Руанды ", "франка Руанды ", "франков Руанды ", kSantim));
    t.push_back(Unit("756", G::Masculine, "швейцарский франк ", "швейцарских франка ", "швейцарских франков ",
                     kSantim));
}

void AddLatinAmerica(std::vector<CurrencyWords> &t) {
    t.push_back(
        Unit("032", G::Neuter, "аргентинское песо ", "аргентинских песо ", "аргентинских песо ", kCentavo));
    t.push_back(
        Unit("170", G::Neuter, "колумбийское песо ", "колумбийских песо ", "колумбийских песо ", kCentavo));
    t.push_back(Unit("192", G::Neuter, "кубинское песо ", "кубинских песо ", "кубинских песо ", kCentavo));
    t.push_back(Unit("214", G::Neuter, "доминиканское песо ", "доминиканских песо ", "доминиканских песо ",
                     kCentavo));
    t.push_back(
        Unit("484", G::Neuter, "мексиканское песо ", "мексиканских песо ", "мексиканских песо ", kCentavo));
    t.push_back(
        Unit("858", G::Neuter, "уругвайское песо ", "уругвайских песо ", "уругвайских песо ", kCentesimo));
    t.push_back(Unit("068", G::Masculine, "боливиано ", "боливиано ", "боливиано ", kCentavo));
    t.push_back(Unit("132", G::Masculine, "эскудо Кабо-Верде ", "эскудо Кабо-Верде ", "эскудо Кабо-Верде ",
                     kCentavo));
    t.push_back(Unit("188", G::Masculine, "костариканский колон ", "костариканских колона ",
                     "костариканских колонов ", kCentimo));
    t.push_back(Unit("218", G::Masculine, "сукре ", "сукре ", "сукре ", kCentavo));
    t.push_back(Unit("320", G::Masculine, "кетсаль ", "кетсаля ", "кетсалей ", kCentavo));
    t.push_back(Unit("332", G::Masculine, "гурд ", "гурда ", "гурдов ", kSantim));
    t.push_back(Unit("340", G::Feminine, "лемпира ", "лемпиры ", "лемпир ", kCentavo));
    t.push_back(Unit("532", G::Masculine, "нидерландский антильский гульден ",
                     "нидерландских антильских гульдена ", "нидерландских антильских гульденов ", kCent));
    t.push_back(Unit("533", G::Masculine, "арубанский флорин ", "арубанских флорина ", "арубанских флоринов ",
                     kCent));
    t.push_back(Unit("590", G::Masculine, "бальбоа ", "бальбоа ", "бальбоа ", kCentesimo));
    t.push_back(Unit("600", G::Masculine, "гуарани ", "гуарани ", "гуарани ", kCentimo));
    t.push_back(Unit("604", G::Masculine, "новый соль ", "новых соля ", "новых солей ", kCentimo));
    t.push_back(Unit("740", G::Masculine, "суринамский гульден ", "суринамских гульдена ",
                     "суринамских гульденов ", kCent));
    t.push_back(Unit("862", G::Masculine, "боливар ", "боливара ", "боливаров ", kCentimo));
}

void AddEurope(std::vector<CurrencyWords> &t) {
    t.push_back(
        Unit("008", G::Masculine, "лек ", "лека ", "леков ", MinorUnit{"киндар", {"ка", "ки", "ок"}}));
    t.push_back(Unit("040", G::Masculine, "австрийский шиллинг ", "австрийских шиллинга ",
                     "австрийских шиллингов ", MinorUnit{"грош", {"", "а", "ей"}}));
    t.push_back(Unit("196", G::Masculine, "кипрский фунт ", "кипрских фунта ", "кипрских фунтов ", kCent));
    t.push_back(Unit("203", G::Feminine, "чешская крона ", "чешские кроны ", "чешских крон ", kHaler));
    t.push_back(Unit("208", G::Feminine, "датская крона ", "датские кроны ", "датских крон ", kOre));
    t.push_back(Unit("233", G::Feminine, "эстонская крона ", "эстонские кроны ", "эстонских крон ",
                     MinorUnit{"сенти", {"", "", ""}}));
    t.push_back(Unit("238", G::Masculine, "фолклендский фунт ", "фолклендских фунта ", "фолклендских фунтов ",
                     kPence));
    t.push_back(Unit("292", G::Masculine, "гибралтарский фунт ", "гибралтарских фунта ",
                     "гибралтарских фунтов ", kPence));
    t.push_back(
        Unit("348", G::Masculine, "форинт ", "форинта ", "форинтов ", MinorUnit{"филлер", {"", "а", "ов"}}));
    t.push_back(Unit("352", G::Feminine, "исландская крона ", "исландские кроны ", "исландских крон ",
                     MinorUnit{"эйре", {"", "", ""}}));
    t.push_back(
        Unit("428", G::Masculine, "латвийский лат ", "латвийских лата ", "латвийских латов ", kSantim));
    t.push_back(Unit("440", G::Masculine, "литовский лит ", "литовских лита ", "литовских литов ", kCent));
    t.push_back(
        Unit("470", G::Feminine, "мальтийская лира ", "мальтийские лиры ", "мальтийских лир ", kCent));
    t.push_back(Unit("578", G::Feminine, "норвежская крона ", "норвежские кроны ", "норвежских крон ", kOre));
    t.push_back(Unit("654", G::Masculine, "фунт Святой Елены ", "фунта Святой Елены ", "фунтов Святой Елены ",
                     kPence));
    t.push_back(Unit("703", G::Feminine, "словацкая крона ", "словацкие кроны ", "словацких крон ", kHaler));
    t.push_back(Unit("705", G::Masculine, "словенский толар ", "словенских толара ", "словенских толаров ",
                     MinorUnit{"стотин", {"", "а", "ов"}}));
    t.push_back(Unit("752", G::Feminine, "шведская крона ", "шведские кроны ", "шведских крон ", kOre));
    t.push_back(Unit("792", G::Feminine, "турецкая лира ", "турецкие лиры ", "турецких лир ",
                     MinorUnit{"куруш", {"", "а", "ей"}}));
    t.push_back(Unit("891", G::Masculine, "югославский динар ", "югославских динара ", "югославских динаров ",
                     MinorUnit{"пар", {"а", "ы", ""}}));
    t.push_back(Unit("978", G::Neuter, "евро ", "евро ", "евро ", kCent));
}

void AddFormerSovietUnion(std::vector<CurrencyWords> &t) {
    t.push_back(Unit("031", G::Masculine, "азербайджанский манат ", "азербайджанских маната ",
                     "азербайджанских манатов ", MinorUnit{"гяпик", {"", "а", "ов"}}));
    t.push_back(Unit("051", G::Masculine, "армянский драм ", "армянских драма ", "армянских драмов ",
                     MinorUnit{"лум", {"а", "ы", ""}}));
    t.push_back(Unit("398", G::Masculine, "тенге ", "тенге ", "тенге ", MinorUnit{"тиын", {"", "а", "ов"}}));
    t.push_back(Unit("417", G::Masculine, "киргизский сом ", "киргизских сома ", "киргизских сомов ",
                     MinorUnit{"тыйын", {"", "а", "ов"}}));
}

void AddAsiaAndOceania(std::vector<CurrencyWords> &t) {
    t.push_back(
        Unit("004", G::Masculine, "афгани ", "афгани ", "афгани ", MinorUnit{"пул", {"", "а", "ов"}}));
    t.push_back(Unit("048", G::Masculine, "бахрейнский динар ", "бахрейнских динара ", "бахрейнских динаров ",
                     kFils));
    t.push_back(Unit("050", G::Feminine, "така ", "така ", "така ", MinorUnit{"пойш", {"а", "и", ""}}));
    t.push_back(Unit("064", G::Masculine, "нгултрум ", "нгултрума ", "нгултрумов ",
                     MinorUnit{"четрум", {"", "а", "ов"}}));
    t.push_back(Unit("116", G::Masculine, "риель ", "риеля ", "риелей ", kSen));
    t.push_back(Unit("144", G::Feminine, "шри-ланкийская рупия ", "шри-ланкийские рупии ",
                     "шри-ланкийских рупий ", kCent));
    t.push_back(Unit("153", G::Feminine, "денежная единица ", "денежные единицы ", "денежных единиц ",
                     MinorUnit{"сот", {"ая", "ые", "ых"}}));
    t.push_back(Unit("156", G::Masculine, "юань ", "юаня ", "юаней ", MinorUnit{"фэнь", {"", "", ""}}));
    t.push_back(Unit("356", G::Feminine, "индийская рупия ", "индийские рупии ", "индийских рупий ", kPaisa));
    t.push_back(Unit("360", G::Feminine, "индонезийская рупия ", "индонезийские рупии ",
                     "индонезийских рупий ", kSen));
    t.push_back(Unit("364", G::Masculine, "иранский риал ", "иранских риала ", "иранских риалов ",
                     MinorUnit{"динар", {"", "а", "ов"}}));
    t.push_back(Unit("368", G::Masculine, "иракский динар ", "иракских динара ", "иракских динаров ", kFils));
    t.push_back(Unit("376", G::Masculine, "новый израильский шекель ", "новых израильских шекеля ",
                     "новых израильских шекелей ", MinorUnit{"агор", {"а", "ы", ""}}));
    t.push_back(Unit("392", G::Feminine, "иена ", "иены ", "иен ", kSen));
    t.push_back(
        Unit("400", G::Masculine, "иорданский динар ", "иорданских динара ", "иорданских динаров ", kFils));
    t.push_back(Unit("408", G::Feminine, "северокорейская вона ", "северокорейские воны ",
                     "северокорейских вон ", kChon));
    t.push_back(
        Unit("410", G::Feminine, "южнокорейская вона ", "южнокорейские воны ", "южнокорейских вон ", kChon));
    t.push_back(
        Unit("414", G::Masculine, "кувейтский динар ", "кувейтских динара ", "кувейтских динаров ", kFils));
    t.push_back(Unit("418", G::Masculine, "кип ", "кипа ", "кипов ", MinorUnit{"ат", {"", "", ""}}));
    t.push_back(
        Unit("422", G::Masculine, "ливанский фунт ", "ливанских фунта ", "ливанских фунтов ", kPiastre));
    t.push_back(Unit("458", G::Masculine, "ринггит ", "ринггита ", "ринггитов ", kSen));
    t.push_back(Unit("462", G::Feminine, "руфия ", "руфии ", "руфий ", MinorUnit{"лари", {"", "", ""}}));
    t.push_back(
        Unit("496", G::Masculine, "тугрик ", "тугрика ", "тугриков ", MinorUnit{"мунгу", {"", "", ""}}));
    t.push_back(Unit("512", G::Masculine, "оманский риал ", "оманских риала ", "оманских риалов ",
                     MinorUnit{"байз", {"а", "ы", ""}}));
    t.push_back(
        Unit("524", G::Feminine, "непальская рупия ", "непальские рупии ", "непальских рупий ", kPaisa));
    t.push_back(Unit("586", G::Feminine, "пакистанская рупия ", "пакистанские рупии ", "пакистанских рупий ",
                     kPaisa));
    t.push_back(Unit("598", G::Feminine, "кина ", "кины ", "кин ", MinorUnit{"тоэа", {"", "", ""}}));
    t.push_back(
        Unit("634", G::Masculine, "катарский риал ", "катарских риала ", "катарских риалов ", kDirham));
    t.push_back(Unit("682", G::Masculine, "саудовский риял ", "саудовских рияла ", "саудовских риялов ",
                     MinorUnit{"халал", {"", "а", "ов"}}));
    t.push_back(Unit("704", G::Masculine, "донг ", "донга ", "донгов ", MinorUnit{"хао", {"", "", ""}}));
    t.push_back(Unit("764", G::Masculine, "бат ", "бата ", "батов ", MinorUnit{"сатанг", {"", "а", "ов"}}));
    t.push_back(Unit("882", G::Feminine, "тала ", "талы ", "тал ", MinorUnit{"сене", {"", "", ""}}));
    t.push_back(Unit("886", G::Masculine, "йеменский риал ", "йеменских риала ", "йеменских риалов ", kFils));
}

void AddAfrica(std::vector<CurrencyWords> &t) {
    t.push_back(Unit("024", G::Feminine, "кванза ", "кванзы ", "кванз ", MinorUnit{"лве", {"й", "я", "ев"}}));
    t.push_back(Unit("072", G::Feminine, "пула ", "пулы ", "пул ", MinorUnit{"тхебе", {"", "", ""}}));
    t.push_back(Unit("180", G::Masculine, "заир ", "заира ", "заиров ", MinorUnit{"макута", {"", "", ""}}));
    t.push_back(Unit("230", G::Masculine, "эфиопский быр ", "эфиопских быра ", "эфиопских быров ", kSantim));
    t.push_back(Unit("288", G::Masculine, "седи ", "седи ", "седи ", MinorUnit{"песев", {"а", "ы", ""}}));
    t.push_back(Unit("426", G::Masculine, "лоти ", "лоти ", "лоти ", MinorUnit{"сенте", {"", "", ""}}));
    t.push_back(
        Unit("434", G::Masculine, "ливийский динар ", "ливийских динара ", "ливийских динаров ", kDirham));
    t.push_back(Unit("454", G::Feminine, "малавийская квача ", "малавийские квачи ", "малавийских квач ",
                     MinorUnit{"тамбала", {"", "", ""}}));
    t.push_back(Unit("504", G::Masculine, "марокканский дирхам ", "марокканских дирхама ",
                     "марокканских дирхамов ", kSantim));
    t.push_back(Unit("508", G::Masculine, "метикал ", "метикала ", "метикалов ", kCentavo));
    t.push_back(Unit("566", G::Feminine, "найра ", "найры ", "найр ", MinorUnit{"кобо", {"", "", ""}}));
    t.push_back(Unit("678", G::Feminine, "добра ", "добры ", "добр ", kCentimo));
    t.push_back(
        Unit("690", G::Feminine, "сейшельская рупия ", "сейшельские рупии ", "сейшельских рупий ", kCent));
    t.push_back(Unit("694", G::Masculine, "леоне ", "леоне ", "леоне ", kCent));
    t.push_back(Unit("706", G::Masculine, "сомалийский шиллинг ", "сомалийских шиллинга ",
                     "сомалийских шиллингов ", kCent));
    t.push_back(Unit("710", G::Masculine, "рэнд ", "рэнда ", "рэндов ", kCent));
    t.push_back(
        Unit("736", G::Masculine, "суданский динар ", "суданских динара ", "суданских динаров ", kPiastre));
    t.push_back(Unit("788", G::Masculine, "тунисский динар ", "тунисских динара ", "тунисских динаров ",
                     MinorUnit{"миллим", {"", "а", "ов"}}));
    t.push_back(Unit("894", G::Feminine, "замбийская квача ", "замбийские квачи ", "замбийских квач ",
                     MinorUnit{"нгве", {"", "", ""}}));
}

std::vector<CurrencyWords> BuildTable() {
    std::vector<CurrencyWords> t;
    AddSpecialRows(t);
    AddSharedRows(t);
    AddRowsWithoutMinor(t);
    AddDollars(t);
    AddFrancs(t);
    AddLatinAmerica(t);
    AddEurope(t);
    AddFormerSovietUnion(t);
    AddAsiaAndOceania(t);
    AddAfrica(t);
    return t;
}

const std::vector<CurrencyWords> &Table() {
    static const std::vector<CurrencyWords> table = BuildTable();
    return table;
}

const QHash<QString, const CurrencyWords *> &Index() {
    static const QHash<QString, const CurrencyWords *> index = [] {
        QHash<QString, const CurrencyWords *> h;
        for (const CurrencyWords &row : Table())
            for (const QString &key : QString::fromUtf8(row.keys).split(u' ', Qt::SkipEmptyParts))
                h.insert(key, &row);
        return h;
    }();
    return index;
}

}  // namespace

const CurrencyWords *CurrencyWords::Find(const QString &key) {
    return Index().value(key, nullptr);
}
