// The engine's Chinese texts as Big5 (code page 950) bytes, two columns per character.
// The UTF-8 comment above each constant shows what the bytes spell.
#pragma once

#include <string_view>

namespace tarnex {

// *  水  準  網  高  程  平  差  計  算        *
inline constexpr std::string_view kStartBannerTitle{"*  \244\364  \267\307  \272\364  \260\252  \265{  \245\255  \256t  \255p  \272\342        *", 46};

// 資料檔名稱(input file name): 
inline constexpr std::string_view kFileNamePrompt{"\270\352\256\306\300\311\246W\272\331(input file name): ", 29};

// [警告] : 水準點數超出本程式容量
inline constexpr std::string_view kCapacityWarning{"[\304\265\247i] : \244\364\267\307\302I\274\306\266W\245X\245\273\265{\246\241\256e\266q", 31};

// 觀測量數目(no of observations)............. 
inline constexpr std::string_view kSummaryObservations{"\306[\264\372\266q\274\306\245\330(no of observations)............. ", 44};

// 水準點總數(no of points) .................. 
inline constexpr std::string_view kSummaryPoints{"\244\364\267\307\302I\301`\274\306(no of points) .................. ", 44};

// 已知高程水準點個數 (no of known points).... 
inline constexpr std::string_view kSummaryKnownPoints{"\244w\252\276\260\252\265{\244\364\267\307\302I\255\323\274\306 (no of known points).... ", 44};

// 多餘觀測數 (degree of freedom)............. 
inline constexpr std::string_view kSummaryFreedom{"\246h\276l\306[\264\372\274\306 (degree of freedom)............. ", 44};

// *  水  準  網  高  程  平  差  計  算  *
inline constexpr std::string_view kAdjustmentBoxTitle{"*  \244\364  \267\307  \272\364  \260\252  \265{  \245\255  \256t  \255p  \272\342  *", 40};

// project name 計畫名稱    :
inline constexpr std::string_view kProjectNameLabel{"project name \255p\265e\246W\272\331    :", 26};

// input data file 資料檔名 :
inline constexpr std::string_view kInputFileLabel{"input data file \270\352\256\306\300\311\246W :", 26};

// no of obs 觀測量數目 ..................... 
inline constexpr std::string_view kCountObservations{"no of obs \306[\264\372\266q\274\306\245\330 ..................... ", 43};

// no of bench marks 水準點總數 ............. 
inline constexpr std::string_view kCountBenchMarks{"no of bench marks \244\364\267\307\302I\301`\274\306 ............. ", 43};

// no of fixed points 已知高程水準點個數 .... 
inline constexpr std::string_view kCountFixedPoints{"no of fixed points \244w\252\276\260\252\265{\244\364\267\307\302I\255\323\274\306 .... ", 43};

// degree of freedom 多餘觀測數 ............. 
inline constexpr std::string_view kCountFreedom{"degree of freedom \246h\276l\306[\264\372\274\306 ............. ", 43};

//  modefied D.F. 多餘觀測數 ............... 
inline constexpr std::string_view kModifiedFreedom{" modefied D.F. \246h\276l\306[\264\372\274\306 ............... ", 42};

// standard deviation 單位權中誤差 ..........
inline constexpr std::string_view kUnitWeightDeviation{"standard deviation \263\346\246\354\305v\244\244\273~\256t ..........", 42};

// 項次
inline constexpr std::string_view kHeadItem{"\266\265\246\270", 4};

// 點  名
inline constexpr std::string_view kHeadPointName{"\302I  \246W", 6};

// 高  程(M)
inline constexpr std::string_view kHeadElevation{"\260\252  \265{(M)", 9};

// 標準誤差(CM)
inline constexpr std::string_view kHeadStandardError{"\274\320\267\307\273~\256t(CM)", 12};

// 個  別 標準化
inline constexpr std::string_view kReliabilityHeadLeft{"\255\323  \247O \274\320\267\307\244\306", 13};

// 項次 後  視     前  視     高程差(M)    距離(M)
inline constexpr std::string_view kReliabilityHeadMiddle{"\266\265\246\270 \253\341  \265\370     \253e  \265\370     \260\252\265{\256t(M)    \266Z\302\367(M)", 47};

// 改正數(M)  多餘數 改正數
inline constexpr std::string_view kReliabilityHeadRight{"\247\357\245\277\274\306(M)  \246h\276l\274\306 \247\357\245\277\274\306", 24};

}  // namespace tarnex
