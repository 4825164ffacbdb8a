#include "chinese_sentences.h"

#include <regex>

namespace korvane::analysis {

namespace {

// A sentence made of a fixed start and end around a number or name, in both languages.
struct Sentence {
    std::string_view english;  // the whole sentence, or its start when `englishEnd` is not empty
    std::string_view englishEnd;
    std::string_view chinese;  // the whole sentence, or its start when `englishEnd` is not empty
    std::string_view chineseEnd;
};

constexpr Sentence kSentences[] = {
    {"Known heights observed together with a covariance matrix C enter with the weight matrix sigma0^2 C^-1 (C in "
     "mm^2), and each is tested as a correlated observation.",
     "",
     "與共變異數矩陣 C 一併觀測的已知高程，以權矩陣 σ₀² C⁻¹（C 以 mm² 計）納入平差，各以相關觀測檢定。", ""},
    {"Known points with a standard deviation enter as observations of their height with the weight 1/sigma^2, sigma "
     "converted into millimetres to match the grade weights in 1/mm^2 (tarnex adds 1/sigma^2 with sigma in metres, "
     "which holds them practically fixed).",
     "",
     "有標準差的已知點以其高程的觀測納入平差，權為 1/σ²，σ 換算為公厘，以配合等級定權的權（1/mm²）；"
     "tarnex 以公尺計的 σ 加入 1/σ²，實際上等於把它們固定。",
     ""},
    {"Known points with a standard deviation enter as observations of their height with the weight sigma0^2/sigma^2, "
     "sigma in millimetres and sigma0 the a-priori value per square root of a km, to match the distance weights in "
     "1/km (tarnex adds 1/sigma^2 with sigma in metres, which holds them practically fixed).",
     "",
     "有標準差的已知點以其高程的觀測納入平差，權為 σ₀²/σ²，σ 以公厘計，σ₀ 為每公里平方根的先驗值，"
     "以配合距離定權的權（1/km）；tarnex 以公尺計的 σ 加入 1/σ²，實際上等於把它們固定。",
     ""},
    {"Known points with a standard deviation are held fixed: under distance weighting their standard deviation can "
     "be weighed against the observations only with an a-priori sigma0 (--sigma0).",
     "",
     "有標準差的已知點視為固定：距離定權時，須給定先驗 σ₀，才能把已知點的標準差與觀測相權衡。", ""},
    {"Free network: the known heights are not used in the adjustment. The heights of each part are in the datum of "
     "its known points: the corrections of their adjusted heights to their given heights sum to zero (partial "
     "minimum trace). Each known point's height is compared with its adjusted height in that datum. A part without a "
     "datum point has no heights.",
     "",
     "自由網：已知高程不用於平差。各部分的高程以其已知點為基準：這些點的平差高程對已知高程的改正數總和為零"
     "（部分最小跡）。各已知點的高程與此基準下的平差高程比較。沒有基準點的部分沒有高程。",
     ""},
    {"Free network: the known heights are not used in the adjustment. The heights of each part are in the datum of "
     "the datum points named: the corrections of their adjusted heights to their given heights sum to zero (partial "
     "minimum trace). Each known point's height is compared with its adjusted height in that datum. A part without a "
     "datum point has no heights.",
     "",
     "自由網：已知高程不用於平差。各部分的高程以指定的基準點為基準：這些點的平差高程對已知高程的改正數總和為零"
     "（部分最小跡）。各已知點的高程與此基準下的平差高程比較。沒有基準點的部分沒有高程。",
     ""},
    {"Height differences without a distance (dist) are taken to be (stdev / sigma-apr)^2 km long, the length whose "
     "sigma-apr * sqrt(km) gives their standard deviation (sigma-apr ",
     " mm per square root of a km); the misclosure tolerances use that length.",
     "沒有距離（dist 欄）的高差，其路線長視為 (stdev ÷ sigma-apr)² 公里，即 sigma-apr × √公里 等於其標準差的長度"
     "（sigma-apr 為 ",
     " mm/√km）；閉合差限值也用此長度。"},
    {"no redundancy (degrees of freedom ", ")", "沒有多餘觀測（自由度 ", "）"},
    {"no a-priori sigma0: distance weighting needs --sigma0 for the global test", "",
     "沒有先驗 σ₀：距離定權須給定先驗 σ₀ 才能做整體檢定", ""},
    {"the test statistic cannot be computed", "", "檢定統計量無法計算", ""},
};

// Failures: an English pattern and its Chinese text ($1, $2 ... its groups).
struct Failure {
    const char* english;
    const char* chinese;
};

const Failure kFailures[] = {
    {R"x(the normal equations cannot be solved: the height of (.+) \(column (\d+) of (\d+) in elimination order\) is not determined by the observations and known points \(weights too far apart, or observations that cancel\))x",
     "法方程式無法求解：$1 的高程（消去順序第 $2 欄，共 $3 欄）無法由觀測與已知點決定（權相差太大，或觀測互相抵消）"},
    {R"x(the datum point (.+) is not a point of the network)x", "基準點 $1 不是網形中的點"},
    {R"x(the datum point (.+) has no given height: a datum point must be a known point)x",
     "基準點 $1 沒有已知高程：基準點必須是已知點"},
    {R"x(the weights are too far apart for a reliable adjustment: (.+) weighs (\S+) times (.+) \(at most 1e10 can be adjusted in double precision; check the distances, grades, the known points' standard deviations and sigma0\))x",
     "權相差太大，無法可靠地平差：$1 的權是 $3 的 $2 倍（倍精度最多只能平差相差 1e10 倍的權；請檢查距離、等級、已知點的標準差與 σ₀）"},
    {R"x(no known point: the heights have no datum \(give known points, or adjust a free network with --free\))x",
     "沒有已知點：高程沒有基準"},
    {R"x(no known point lies in a part of the network that has observations: the heights have no datum \(or adjust a free network with --free\))x",
     "有觀測的網形部分都沒有已知點：高程沒有基準"},
    {R"x((.+): there is no observation to adjust)x", "$1：沒有可平差的觀測"},
    {R"x(cannot read (.+): (.*))x", "無法讀取 $1：$2"},
    {R"x(cannot open the database (.+): no such file)x", "無法開啟資料庫 $1：檔案不存在"},
    {R"x(cannot open the database (.+): (.*))x", "無法開啟資料庫 $1：$2"},
    {R"x((.+): cannot read the table (\w+): (.*))x", "$1：無法讀取資料表 $2：$3"},
    {R"x((.+): the field is empty)x", "$1：欄位是空的"},
    {R"x((.+): "(.*)" is not a number)x", "$1：「$2」不是數字"},
    {R"x((.+): the value is not a finite number)x", "$1：數值不是有限的數"},
    {R"x((.+): the point name is empty)x", "$1：點名是空的"},
    {R"x((.+): the distance (\S+) km gives no weight: a distance above 0 is needed)x", "$1：距離 $2 km 無法定權：距離須大於 0"},
    {R"x((.+): the grade is 0, but the first observation's grade asks for grade weighting)x",
     "$1：等級為 0，但第一筆觀測的等級表示以等級定權"},
    {R"x((.+): the known point (.+) is given twice \(also at (.+)\))x", "$1：已知點 $2 重複給定（另見 $3）"},
    {R"x((.+): the weight of this observation cannot be computed \(too large or too small\))x", "$1：這筆觀測的權無法計算（太大或太小）"},
    {R"x((.+): the height difference (\S+) m is beyond the (\S+) m that levelling can hold \(a wrong unit or a damaged field\?\))x",
     "$1：高差 $2 m 超過水準測量可能的 $3 m（單位錯誤或欄位損壞？）"},
    {R"x((.+): the height (\S+) m is beyond the (\S+) m that levelling can hold \(a wrong unit or a damaged field\?\))x",
     "$1：高程 $2 m 超過水準測量可能的 $3 m（單位錯誤或欄位損壞？）"},
    {R"x((.+): the standard deviation (\S+) m is beyond the (\S+) m that levelling can hold \(a wrong unit or a damaged field\?\))x",
     "$1：標準差 $2 m 超過水準測量可能的 $3 m（單位錯誤或欄位損壞？）"},
    {R"x((.+): the distance (\S+) km is beyond the (\S+) km that levelling can hold \(a wrong unit or a damaged field\?\))x",
     "$1：距離 $2 km 超過水準測量可能的 $3 km（單位錯誤或欄位損壞？）"},
    // Monitoring over many epochs.
    {R"x(a monitoring run needs two epochs or more; (\d+) (?:was|were) given)x", "變形分析需要兩期以上；只給了 $1 期"},
    {R"x(epoch (.+): (\S*) is no date YYYY-MM-DD)x", "$1 這一期：$2 不是 YYYY-MM-DD 的日期"},
    {R"x(two epochs have the same date (\S+): (.+) and (.+))x", "兩期的日期相同（$1）：$2 與 $3"},
    {R"x(the epochs' dates must increase: (.+) comes after (.+))x", "各期的日期必須遞增：$1 排在 $2 之後"},
    {R"x(epoch (.+) has no benchmark in common with the other epochs)x", "$1 這一期和其他各期沒有共同的水準點"},
    {R"x(no epoch holds the stable benchmarks? (.+))x", "沒有任何一期有指定的穩定點 $1"},
    {R"x(the list of stable benchmarks is empty)x", "穩定點清單是空的"},
    {R"x(epoch (.+) weighs its observations by (?:grade|distance) and epoch (.+) the other way: all epochs must weight alike)x",
     "$1 與 $2 的定權方式不同：各期必須以同樣方式定權"},
    {R"x(no epoch has redundant observations, and without an a-priori sigma0 nothing can be tested)x",
     "沒有一期有多餘觀測，又沒有先驗 σ₀，無法檢定"},
    {R"x(the level of the tests must lie between 1e-10 and 50 %)x", "檢定的顯著水準須介於 1e-10 與 50 % 之間"},
    {R"x(the rate limit must lie above 0 and at most 10,000 mm per year)x", "速率限值須大於 0，至多每年 10,000 mm"},
    {R"x(the velocity of (.+) is not determined by the epochs' observations)x", "$1 的速度無法由各期的觀測決定"},
    {R"x(the height of (.+) is not determined by the epochs' observations)x", "$1 的高程無法由各期的觀測決定"},
    {R"x(the height of (.+) is not determined by the observations)x", "$1 的高程無法由觀測決定"},
};

// Places inside a message.
const Failure kPlaces[] = {
    {R"x(, table (\w+), row (\d+))x", "，資料表 $1 第 $2 列"},
    {R"x(, line (\d+))x", "，第 $1 行"},
    {R"x(, field ([^:(]+?) \(columns (\d+)-(\d+)\))x", "，欄位 $1（第 $2–$3 欄）"},
    {R"x(, field ([^:,]+))x", "，欄位 $1"},
};

}  // namespace

std::string failureInChinese(std::string_view message)
{
    // A failure of one epoch of a monitoring run: the epoch, then the failure itself.
    static const std::regex epochFailure(R"x(epoch ([0-9]{4}-[0-9]{2}-[0-9]{2} \(.*?\)): (.*))x");
    std::match_results<std::string_view::const_iterator> parts;
    if (std::regex_match(message.begin(), message.end(), parts, epochFailure) &&
        !std::string_view(parts[2].first, std::size_t(parts[2].length())).ends_with("is no date YYYY-MM-DD"))
        return parts[1].str() + " 這一期：" + failureInChinese(std::string_view(parts[2].first, std::size_t(parts[2].length())));
    std::string text(message);
    for (const Failure& failure : kFailures) {
        const std::regex pattern(failure.english);
        if (std::regex_match(text, pattern)) {
            text = std::regex_replace(text, pattern, failure.chinese);
            break;
        }
    }
    for (const Failure& place : kPlaces)
        text = std::regex_replace(text, std::regex(place.english), place.chinese);
    return text;
}

std::string inChinese(std::string_view sentence)
{
    for (const Sentence& known : kSentences) {
        if (known.englishEnd.empty()) {
            if (sentence == known.english)
                return std::string(known.chinese);
            continue;
        }
        if (sentence.size() > known.english.size() + known.englishEnd.size() && sentence.starts_with(known.english) &&
            sentence.ends_with(known.englishEnd)) {
            const std::string_view middle = sentence.substr(
                known.english.size(), sentence.size() - known.english.size() - known.englishEnd.size());
            return std::string(known.chinese) + std::string(middle) + std::string(known.chineseEnd);
        }
    }
    return std::string(sentence);
}

}  // namespace korvane::analysis
