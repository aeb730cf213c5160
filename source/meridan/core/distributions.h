// The statistical distributions of the studies (p-values of F and t, chi-square
// intervals, normal, lognormal and Weibull quantiles), from Boost.Math.
// Every distribution here is made with one policy: an argument outside its
// domain gives not-a-number and never throws, and double arithmetic is not
// promoted to long double, so the 32-bit and 64-bit builds compute the same bits.
#ifndef MERIDAN_CORE_DISTRIBUTIONS_H
#define MERIDAN_CORE_DISTRIBUTIONS_H

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/lognormal.hpp>
#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <boost/math/distributions/weibull.hpp>
#include <boost/math/policies/policy.hpp>

namespace meridan::dist {

using Policy = boost::math::policies::policy<
    boost::math::policies::domain_error<boost::math::policies::ignore_error>,
    boost::math::policies::pole_error<boost::math::policies::ignore_error>,
    boost::math::policies::overflow_error<boost::math::policies::ignore_error>,
    boost::math::policies::underflow_error<boost::math::policies::ignore_error>,
    boost::math::policies::evaluation_error<boost::math::policies::ignore_error>,
    boost::math::policies::rounding_error<boost::math::policies::ignore_error>,
    boost::math::policies::indeterminate_result_error<boost::math::policies::ignore_error>,
    boost::math::policies::promote_float<false>,
    boost::math::policies::promote_double<false>>;

using Normal = boost::math::normal_distribution<double, Policy>;
using StudentsT = boost::math::students_t_distribution<double, Policy>;
using FisherF = boost::math::fisher_f_distribution<double, Policy>;
using ChiSquared = boost::math::chi_squared_distribution<double, Policy>;
using Lognormal = boost::math::lognormal_distribution<double, Policy>;
using Weibull = boost::math::weibull_distribution<double, Policy>;

using boost::math::cdf;
using boost::math::complement;
using boost::math::pdf;
using boost::math::quantile;

}  // namespace meridan::dist

#endif
