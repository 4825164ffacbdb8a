#include "factor_pattern.h"

#include <algorithm>
#include <stdexcept>

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

void findSupernodes(const std::vector<int>& parent, const std::vector<int>& count, FactorPattern& pattern)
{
    const int n = int(parent.size());
    pattern.outer.assign(n + 1, 0);  // where each column's values start
    for (int j = 0; j < n; ++j)
        pattern.outer[j + 1] = pattern.outer[j] + count[j] + 1;
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

// Each supernode's rows: its columns, then the rows below it gathered from N's entries in its
// columns and from its children's rows below them (children come first in column order).
void listRows(FactorPattern& pattern)
{
    const int n = int(pattern.outer.size()) - 1;
    pattern.rowStart.resize(n);
    std::size_t size = 0;
    for (int s = 0; s < pattern.supernodeCount(); ++s)
        size += pattern.supernodeStart[s + 1] - pattern.supernodeStart[s] + pattern.rowsBelow(s);
    pattern.rows.resize(size);

    std::vector<int> listedFor(n, -1);  // the supernode whose rows below list the row
    int* next = pattern.rows.data();
    for (int s = 0; s < pattern.supernodeCount(); ++s) {
        const int first = pattern.supernodeStart[s];
        const int last = pattern.supernodeStart[s + 1] - 1;
        for (int j = first; j <= last; ++j) {
            pattern.rowStart[j] = int(next - pattern.rows.data()) + (j - first);
            next[j - first] = j;
        }
        next += last - first + 1;
        int* below = next;
        auto list = [&](int row) {
            if (row > last && listedFor[row] != s) {
                listedFor[row] = s;
                *next++ = row;
            }
        };
        for (int j = first; j <= last; ++j)
            for (int q = pattern.lowerStart[j]; q < pattern.lowerStart[j + 1]; ++q)
                list(pattern.lowerRow[q]);
        for (int c = pattern.childStart[s]; c < pattern.childStart[s + 1]; ++c) {
            const int child = pattern.children[c];
            const int childLast = pattern.supernodeStart[child + 1] - 1;
            const int* childRows = pattern.rows.data() + pattern.rowStart[childLast] + 1;
            for (int a = 0; a < pattern.rowsBelow(child); ++a)
                list(childRows[a]);
        }
        if (next - below != pattern.rowsBelow(s))
            throw std::logic_error("the rows below a supernode disagree with its column count");
        std::sort(below, next);
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
void measureFronts(FactorPattern& pattern)
{
    auto rowsBelow = [&](int s) { return pattern.rowsBelow(s); };
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

FactorPattern analyseFactorPattern(const Eigen::SparseMatrix<double>& upper)
{
    FactorPattern pattern;
    std::vector<int> parent;
    std::vector<int> count;
    eliminationTree(upper, parent, count);
    findSupernodes(parent, count, pattern);
    mapLowerTriangle(upper, pattern);
    listRows(pattern);
    measureFronts(pattern);
    return pattern;
}

}  // namespace korvane::analysis
