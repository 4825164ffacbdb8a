#include "factor_pattern.h"

#include <algorithm>

namespace korvane::analysis {

namespace {

// The elimination tree and the number of entries below the diagonal of each column of L.
void eliminationTree(const Eigen::SparseMatrix<double>& upper, std::vector<int>& parent, std::vector<int>& count)
{
    const int n = int(upper.cols());
    const int* outer = upper.outerIndexPtr();
    const int* inner = upper.innerIndexPtr();
    parent.assign(n, -1);
    count.assign(n, 0);
    std::vector<int> visited(n, -1);  // the last row whose walk passed the column
    for (int k = 0; k < n; ++k) {
        visited[k] = k;
        for (int p = outer[k]; p < outer[k + 1]; ++p) {
            for (int i = inner[p]; i < k && visited[i] != k; i = parent[i]) {
                if (parent[i] < 0)
                    parent[i] = k;
                ++count[i];
                visited[i] = k;
            }
        }
    }
}

// L's rows column by column, in the order the walks of the rows meet them.
void layOutFactor(const Eigen::SparseMatrix<double>& upper, const std::vector<int>& parent,
                  const std::vector<int>& count, Eigen::SparseMatrix<double>& factor)
{
    const int n = int(upper.cols());
    factor.resize(n, n);
    int* outer = factor.outerIndexPtr();
    for (int j = 0; j < n; ++j)
        outer[j + 1] = outer[j] + count[j] + 1;
    factor.resizeNonZeros(outer[n]);
    int* inner = factor.innerIndexPtr();
    std::vector<int> next(n);
    for (int j = 0; j < n; ++j) {
        inner[outer[j]] = j;
        next[j] = outer[j] + 1;
    }
    std::vector<int> visited(n, -1);
    const int* upperOuter = upper.outerIndexPtr();
    const int* upperInner = upper.innerIndexPtr();
    for (int k = 0; k < n; ++k) {
        visited[k] = k;
        for (int p = upperOuter[k]; p < upperOuter[k + 1]; ++p) {
            for (int i = upperInner[p]; i < k && visited[i] != k; i = parent[i]) {
                inner[next[i]++] = k;
                visited[i] = k;
            }
        }
    }
}

void findSupernodes(const std::vector<int>& parent, const std::vector<int>& count, FactorPattern& pattern)
{
    const int n = int(parent.size());
    std::vector<int> supernodeOf(n);
    for (int j = 0; j < n; ++j) {
        const bool continues = j > 0 && parent[j - 1] == j && count[j] == count[j - 1] - 1;
        if (!continues)
            pattern.supernodeStart.push_back(j);
        supernodeOf[j] = int(pattern.supernodeStart.size()) - 1;
    }
    pattern.supernodeStart.push_back(n);

    const int supernodes = pattern.supernodeCount();
    pattern.parentSupernode.assign(supernodes, -1);
    pattern.childStart.assign(supernodes + 1, 0);
    for (int s = 0; s < supernodes; ++s) {
        const int above = parent[pattern.supernodeStart[s + 1] - 1];
        if (above >= 0) {
            pattern.parentSupernode[s] = supernodeOf[above];
            ++pattern.childStart[supernodeOf[above] + 1];
        }
    }
    for (int s = 0; s < supernodes; ++s)
        pattern.childStart[s + 1] += pattern.childStart[s];
    pattern.children.resize(pattern.childStart[supernodes]);
    std::vector<int> next(pattern.childStart.begin(), pattern.childStart.end() - 1);
    for (int s = 0; s < supernodes; ++s)
        if (pattern.parentSupernode[s] >= 0)
            pattern.children[next[pattern.parentSupernode[s]]++] = s;

    // Postorder: depth first from each root, children in column order.
    pattern.order.reserve(supernodes);
    std::vector<std::pair<int, int>> stack;  // supernode, its next child
    for (int root = 0; root < supernodes; ++root) {
        if (pattern.parentSupernode[root] >= 0)
            continue;
        stack.push_back({root, pattern.childStart[root]});
        while (!stack.empty()) {
            auto& [s, child] = stack.back();
            if (child < pattern.childStart[s + 1]) {
                const int next = pattern.children[child++];
                stack.push_back({next, pattern.childStart[next]});
            } else {
                pattern.order.push_back(s);
                stack.pop_back();
            }
        }
    }
}

void mapLowerTriangle(const Eigen::SparseMatrix<double>& upper, FactorPattern& pattern)
{
    const int n = int(upper.cols());
    const int* outer = upper.outerIndexPtr();
    const int* inner = upper.innerIndexPtr();
    pattern.lowerStart.assign(n + 1, 0);
    for (int p = 0; p < outer[n]; ++p)
        ++pattern.lowerStart[inner[p] + 1];
    for (int j = 0; j < n; ++j)
        pattern.lowerStart[j + 1] += pattern.lowerStart[j];
    pattern.lowerRow.resize(outer[n]);
    pattern.lowerPlace.resize(outer[n]);
    std::vector<int> next(pattern.lowerStart.begin(), pattern.lowerStart.end() - 1);
    for (int column = 0; column < n; ++column) {
        for (int p = outer[column]; p < outer[column + 1]; ++p) {
            const int at = next[inner[p]]++;
            pattern.lowerRow[at] = column;
            pattern.lowerPlace[at] = p;
        }
    }
}

// The largest front, and the most values that waiting updates hold at once in the postorder.
void measureFronts(const Eigen::SparseMatrix<double>& factor, FactorPattern& pattern)
{
    const int* outer = factor.outerIndexPtr();
    auto rowsBelow = [&](int s) {
        const int last = pattern.supernodeStart[s + 1] - 1;
        return outer[last + 1] - outer[last] - 1;
    };
    std::size_t waiting = 0;
    for (int s : pattern.order) {
        const int width = pattern.supernodeStart[s + 1] - pattern.supernodeStart[s];
        pattern.largestFront = std::max(pattern.largestFront, width + rowsBelow(s));
        for (int c = pattern.childStart[s]; c < pattern.childStart[s + 1]; ++c)
            waiting -= updateSize(rowsBelow(pattern.children[c]));
        waiting += updateSize(rowsBelow(s));
        pattern.largestUpdates = std::max(pattern.largestUpdates, waiting);
    }
}

}  // namespace

FactorPattern analyseFactorPattern(const Eigen::SparseMatrix<double>& upper, Eigen::SparseMatrix<double>& factor)
{
    FactorPattern pattern;
    std::vector<int> parent;
    std::vector<int> count;
    eliminationTree(upper, parent, count);
    layOutFactor(upper, parent, count, factor);
    findSupernodes(parent, count, pattern);
    mapLowerTriangle(upper, pattern);
    measureFronts(factor, pattern);
    return pattern;
}

}  // namespace korvane::analysis
