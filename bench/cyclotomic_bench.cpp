// Quotients and products of cyclotomic numbers whose 32-bit work overflows, so that
// the exact fallback decides, at order 645: a quotient whose result leaves 32 bits
// (the literal cyclotomic(1 1 3 | #4 #2147483647 #1 | #3 #43 #5) divides 1), one
// whose result fits though the norm of the divisor does not, and a product.
#include <benchmark/benchmark.h>

#include <vector>

#include "module-collections/linkedlist.h"
#include "module-object/error.h"
#include "module-object/string.h"
#include "numbers/cyclotomic.h"

namespace {

ZEM_cyclotomic_number terms(const std::vector<int>& factors, const std::vector<int>& numerators,
                            const std::vector<int>& denominators)
{
    ZEM_linkedlist<ZEM_fraction> c;
    ZEM_linkedlist<ZEM_int> a, d;
    for (int v : factors) c.add_at_tail(ZEM_fraction(v));
    for (int v : numerators) a.add_at_tail(v);
    for (int v : denominators) d.add_at_tail(v);
    return ZEM_cyclotomic_number(c, a, d);
}

void doomed_quotient(benchmark::State& state)
{
    const ZEM_cyclotomic_number a = terms({1, 1, 3}, {4, 2147483647, 1}, {3, 43, 5});
    for (auto _ : state) {
        try {
            benchmark::DoNotOptimize(ZEM_cyclotomic_number(1) / a);
            state.SkipWithError("the quotient fitted");
        } catch (const ZEM_string& failure) {
            if (!failed_with(failure, "[ZEM_fraction] overflow"))
                state.SkipWithError(failure.c_str());
        }
    }
}
BENCHMARK(doomed_quotient)->Unit(benchmark::kMillisecond);

const ZEM_cyclotomic_number divisor = terms({7, 7, 3}, {4, 2, 1}, {3, 43, 5});
const ZEM_cyclotomic_number quotient = terms({2, -5, 1}, {1, 7, 2}, {15, 43, 129});

void fitting_quotient(benchmark::State& state)
{
    const ZEM_cyclotomic_number x = divisor * quotient;
    for (auto _ : state)
        if (x / divisor != quotient) state.SkipWithError("wrong quotient");
}
BENCHMARK(fitting_quotient)->Unit(benchmark::kMillisecond);

// Every term of the 32-bit product has the denominator 2^31, so the wide product decides.
void overflowing_product(benchmark::State& state)
{
    const ZEM_cyclotomic_number x = ZEM_fraction(1, 1 << 16) * divisor, y = ZEM_fraction(1, 1 << 15) * quotient;
    for (auto _ : state) {
        try {
            benchmark::DoNotOptimize(x * y);
        } catch (const ZEM_string&) {
        }
    }
}
BENCHMARK(overflowing_product)->Unit(benchmark::kMillisecond);

}
