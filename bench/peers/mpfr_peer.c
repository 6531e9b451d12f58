/* The peer measurements with MPFR: one operation at a given number of decimal digits,
 * timed in-process (the best of a few repetitions), printed as seconds.
 *   mpfr_peer OPERATION DIGITS
 * OPERATION: pi e sqrt2 inv7 mul exp ln sin atan pow fact10000 */
#include <mpfr.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static double now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

int main(int argc, char **argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: mpfr_peer OPERATION DIGITS\n");
    return 2;
  }
  const char *op = argv[1];
  long digits = atol(argv[2]);
  mpfr_prec_t prec = (mpfr_prec_t)(digits * 3.3219280948873623) + 32;
  mpfr_t a, b, r;
  mpfr_inits2(prec, a, b, r, (mpfr_ptr)0);
  mpfr_sqrt_ui(a, 2, MPFR_RNDN); /* full-length arguments: sqrt 2 and sqrt 3 */
  mpfr_sqrt_ui(b, 3, MPFR_RNDN);
  double best = 1e30;
  for (int rep = 0; rep < 3; ++rep) {
    double t0 = now();
    if (!strcmp(op, "pi")) mpfr_const_pi(r, MPFR_RNDZ), mpfr_free_cache();
    else if (!strcmp(op, "e")) mpfr_set_ui(r, 1, MPFR_RNDZ), mpfr_exp(r, r, MPFR_RNDZ);
    else if (!strcmp(op, "sqrt2")) mpfr_sqrt_ui(r, 2, MPFR_RNDZ);
    else if (!strcmp(op, "inv7")) mpfr_set_ui(r, 1, MPFR_RNDZ), mpfr_div_ui(r, r, 7, MPFR_RNDZ);
    else if (!strcmp(op, "mul")) mpfr_mul(r, a, b, MPFR_RNDZ);
    else if (!strcmp(op, "exp")) mpfr_exp(r, a, MPFR_RNDZ);
    else if (!strcmp(op, "ln")) mpfr_log(r, a, MPFR_RNDZ);
    else if (!strcmp(op, "sin")) mpfr_sin(r, a, MPFR_RNDZ);
    else if (!strcmp(op, "atan")) mpfr_atan(r, a, MPFR_RNDZ);
    else if (!strcmp(op, "pow")) mpfr_pow(r, a, b, MPFR_RNDZ);
    else if (!strcmp(op, "fact10000")) mpfr_fac_ui(r, 10000, MPFR_RNDZ);
    else {
      fprintf(stderr, "unknown operation %s\n", op);
      return 2;
    }
    double t = now() - t0;
    if (t < best) best = t;
    if (t > 2) break;
  }
  printf("%.6f\n", best);
  return 0;
}
