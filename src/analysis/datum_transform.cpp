#include "datum_transform.h"

namespace korvane::analysis {

DatumTransform::DatumTransform(std::vector<int> partOfPoint, std::vector<std::vector<int>> datumOfPart,
                               Eigen::VectorXd datumRowSums)
    : partOfPoint_(std::move(partOfPoint)), datumOfPart_(std::move(datumOfPart)), rowSums_(std::move(datumRowSums))
{
    partSums_ = Eigen::VectorXd::Zero(Eigen::Index(datumOfPart_.size()));
    for (std::size_t part = 0; part < datumOfPart_.size(); ++part)
        for (int point : datumOfPart_[part])
            partSums_[Eigen::Index(part)] += rowSums_[point];
}

Eigen::VectorXd DatumTransform::heights(const Eigen::VectorXd& particular, const Eigen::VectorXd& reference) const
{
    std::vector<double> shift(datumOfPart_.size(), 0.0);
    for (std::size_t part = 0; part < datumOfPart_.size(); ++part) {
        const std::vector<int>& datum = datumOfPart_[part];
        if (datum.empty())
            continue;
        double sum = 0.0;
        for (int point : datum)
            sum += particular[point] - reference[point];
        shift[part] = sum / double(datum.size());
    }
    Eigen::VectorXd moved = particular;
    for (Eigen::Index point = 0; point < moved.size(); ++point)
        moved[point] -= shift[partOfPoint_[point]];
    return moved;
}

double DatumTransform::cofactor(int pointA, int pointB, double plain) const
{
    const int part = partOfPoint_[pointA];
    const double n = double(datumOfPart_[part].size());
    return plain - (rowSums_[pointA] + rowSums_[pointB]) / n + partSums_[part] / (n * n);
}

PairCofactors DatumTransform::transform(const Equation& equation, const PairCofactors& plain) const
{
    if (equation.from < 0)
        return {0.0, cofactor(equation.to, equation.to, plain.to), 0.0};
    return {cofactor(equation.from, equation.from, plain.from), cofactor(equation.to, equation.to, plain.to),
            cofactor(equation.from, equation.to, plain.between)};
}

}  // namespace korvane::analysis
