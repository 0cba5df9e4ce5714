#pragma once

// The words the reference database is made of: people's names, streets, car makes, the service catalogue,
// the cash desk's articles and the tyres kept in storage.
#include <QString>
#include <cstddef>

namespace RefDbWords {

// How many words a list holds.
template <typename T, std::size_t N>
constexpr int Count(const T (&)[N]) {
    return int(N);
}

// A word as text.
inline QString S(const char *text) {
    return QString::fromUtf8(text);
}

inline constexpr const char *kSurnames[] = {
    "Иванов",  "Смирнов",  "Кузнецов", "Попов",       "Васильев",   "Петров",    "Соколов", "Михайлов",
    "Новиков", "Фёдоров",  "Морозов",  "Волков",      "Алексеев",   "Лебедев",   "Семёнов", "Егоров",
    "Павлов",  "Козлов",   "Степанов", "Николаев",    "Орлов",      "Андреев",   "Макаров", "Никитин",
    "Захаров", "Зайцев",   "Соловьёв", "Борисов",     "Яковлев",    "Григорьев", "Романов", "Воробьёв",
    "Сергеев", "Кузьмин",  "Фролов",   "Александров", "Дмитриев",   "Королёв",   "Гусев",   "Киселёв",
    "Ильин",   "Максимов", "Поляков",  "Сорокин",     "Виноградов", "Ковалёв",   "Белов",   "Медведев",
    "Антонов", "Тарасов"};
inline constexpr const char *kFirstNames[] = {
    "Александр", "Алексей", "Андрей",  "Виктор", "Дмитрий", "Евгений", "Иван", "Игорь",
    "Максим",    "Михаил",  "Николай", "Олег",   "Павел",   "Сергей",  "Юрий", "Владимир"};
inline constexpr const char *kPatronymics[] = {"Александрович", "Алексеевич", "Андреевич", "Викторович",
                                               "Дмитриевич",    "Евгеньевич", "Иванович",  "Игоревич",
                                               "Михайлович",    "Николаевич", "Олегович",  "Павлович",
                                               "Сергеевич",     "Юрьевич",    "Петрович",  "Владимирович"};
inline constexpr const char *kInitials[] = {"А", "В", "Г", "Д", "Е", "И", "К", "Л",
                                            "М", "Н", "О", "П", "Р", "С", "Т", "Ю"};
inline constexpr const char *kCompanyForms[] = {"ООО", "ИП", "АО", "ЗАО"};
inline constexpr const char *kCompanyRoots[] = {
    "Авто", "Транс", "Строй", "Сервис", "Логистик", "Торг",  "Снаб",   "Тех",    "Пром",    "Агро",
    "Мега", "Гранд", "Север", "Вектор", "Альфа",    "Сфера", "Инвест", "Ресурс", "Капитал", "Экспресс"};
inline constexpr const char *kStreets[] = {"Ленина",    "Мира",      "Садовая",    "Школьная",
                                           "Советская", "Лесная",    "Набережная", "Гагарина",
                                           "Пушкина",   "Заводская", "Молодёжная", "Центральная"};
inline constexpr const char *kMakes[] = {
    "TOYOTA COROLLA",  "KIA RIO",       "HYUNDAI SOLARIS",    "LADA GRANTA",    "LADA VESTA",
    "VOLKSWAGEN POLO", "SKODA OCTAVIA", "RENAULT LOGAN",      "NISSAN QASHQAI", "FORD FOCUS",
    "MAZDA 6",         "BMW X5",        "MERCEDES-BENZ E200", "AUDI A4",        "MITSUBISHI OUTLANDER",
    "CHEVROLET NIVA",  "GAZ GAZELLE",   "HONDA CR-V",         "LEXUS RX350",    "VOLVO XC60"};
inline constexpr const char *kColors[] = {"БЕЛЫЙ",   "ЧЕРНЫЙ",  "СЕРЕБРИСТЫЙ", "СЕРЫЙ",      "СИНИЙ",
                                          "КРАСНЫЙ", "ЗЕЛЕНЫЙ", "БЕЖЕВЫЙ",     "КОРИЧНЕВЫЙ", "ЖЕЛТЫЙ"};
inline constexpr const char *kPlateLetters[] = {"А", "В", "Е", "К", "М", "Н", "О", "Р", "С", "Т", "У", "Х"};
inline constexpr const char *kRegions[] = {"77", "97", "99", "177", "197", "199", "777", "50", "150", "750"};
inline constexpr const char *kPackageNames[] = {"Шиномонтаж R13",
                                                "Шиномонтаж R14",
                                                "Шиномонтаж R15",
                                                "Шиномонтаж R16",
                                                "Шиномонтаж R17",
                                                "Шиномонтаж R18",
                                                "Шиномонтаж R19",
                                                "Шиномонтаж R20",
                                                "Сезонная замена шин R14",
                                                "Сезонная замена шин R15",
                                                "Сезонная замена шин R16",
                                                "Сезонная замена шин R17",
                                                "Сезонная замена шин R18",
                                                "Мойка комплекс",
                                                "Мойка люкс",
                                                "Химчистка салона",
                                                "ТО-1",
                                                "ТО-2",
                                                "Полировка кузова",
                                                "Подготовка к зиме"};
inline constexpr const char *kPackageSteps[] = {
    "снятие и установка колёс", "демонтаж шин",   "монтаж шин",      "балансировка", "вентили", "мойка колёс",
    "герметизация борта",       "утилизация шин", "подкачка азотом", "диагностика"};
inline constexpr const char *kServiceNames[] = {"Замена масла двигателя",
                                                "Замена масляного фильтра",
                                                "Замена воздушного фильтра",
                                                "Замена салонного фильтра",
                                                "Замена тормозных колодок",
                                                "Замена тормозной жидкости",
                                                "Замена свечей зажигания",
                                                "Диагностика ходовой",
                                                "Компьютерная диагностика",
                                                "Развал-схождение",
                                                "Ремонт прокола",
                                                "Правка диска",
                                                "Мойка кузова",
                                                "Мойка двигателя",
                                                "Чернение резины",
                                                "Полировка фар",
                                                "Заправка кондиционера",
                                                "Замена ремня ГРМ",
                                                "Замена аккумулятора",
                                                "Замена ламп",
                                                "Регулировка фар",
                                                "Шумоизоляция арок",
                                                "Антикор днища",
                                                "Хранение шин (сезон)",
                                                "Пакеты для шин",
                                                "Замена антифриза",
                                                "Замена амортизаторов",
                                                "Замена рулевых тяг",
                                                "Замена ступичного подшипника",
                                                "Промывка инжектора"};
inline constexpr const char *kLogins[] = {"admin", "kassa1", "kassa2", "master"};
inline constexpr const char *kCashArticlesOut[] = {"Хозяйственные расходы", "Закупка материалов",
                                                   "Инкассация"};
inline constexpr const char *kCashArticlesIn[] = {"Размен", "Прочий приход"};

// Tyres kept between seasons: sizes, and makers with a model of each season (summer, winter, all-season).
inline constexpr const char *kTyreSizes[] = {"175/70 R13", "185/65 R14", "185/65 R15", "195/65 R15",
                                             "205/55 R16", "215/60 R16", "215/55 R17", "225/45 R17",
                                             "225/60 R17", "235/55 R18", "245/45 R18", "255/55 R19"};
struct TyreModel {
    const char *maker, *summer, *winter;
};
inline constexpr TyreModel kTyreModels[] = {{"Nokian", "Hakka Green 3", "Hakkapeliitta 10"},
                                            {"Michelin", "Primacy 4", "X-Ice North 4"},
                                            {"Continental", "PremiumContact 6", "IceContact 3"},
                                            {"Bridgestone", "Turanza T005", "Blizzak Spike-02"},
                                            {"Pirelli", "Cinturato P7", "Ice Zero"},
                                            {"Cordiant", "Comfort 2", "Snow Cross 2"},
                                            {"Yokohama", "BluEarth-A", "iceGUARD IG65"},
                                            {"Kumho", "Ecsta HS51", "WinterCraft Ice WI32"}};
inline constexpr const char *kAllSeasonModels[][2] = {{"Michelin", "CrossClimate 2"},
                                                      {"Goodyear", "Vector 4Seasons Gen-3"}};
inline constexpr const char *kTyreDamages[] = {"порез на боковине", "грыжа на одной шине",
                                               "неравномерный износ", "выпала часть шипов"};
inline constexpr const char *kRacks[] = {"А", "Б", "В", "Г", "Д", "Е", "Ж", "И", "К", "Л"};

}  // namespace RefDbWords
