#include "chinese_sentences.h"

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

}  // namespace

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
