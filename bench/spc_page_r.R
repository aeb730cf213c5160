# The same kind of page as spc_page_bench's x-bar/R page, drawn by R's base
# graphics into a BMP file: the means chart with its limits above the ranges
# chart, a sideways histogram with the fitted normal curve beside them, and the
# figures at the right. The values are the benchmark's own (the same 32-bit
# generator), so both draw the same points.
#   Rscript bench/spc_page_r.R COUNT WIDTH HEIGHT FILE
# Prints the best seconds per page of three runs.
args <- commandArgs(trailingOnly = TRUE)
count <- if (length(args) >= 1) as.integer(args[1]) else 65535L
width <- if (length(args) >= 2) as.integer(args[2]) else 1600L
height <- if (length(args) >= 3) as.integer(args[3]) else 1200L
file <- if (length(args) >= 4) args[4] else file.path(tempdir(), "spc_page_r.bmp")

# state = state * 1103515245 + 12345 modulo 2^32, exactly in doubles.
values <- numeric(count)
state <- 12345
a_high <- 1103515245 %/% 65536
a_low <- 1103515245 %% 65536
for (i in seq_len(count)) {
  state <- (state * a_low + ((state * a_high) %% 65536) * 65536 + 12345) %% 4294967296
  values[i] <- 10 + ((state %/% 256) %% 2001 - 1000) * 0.0001
}

page <- function() {
  m <- 5
  k <- count %/% m
  groups <- matrix(values[seq_len(k * m)], nrow = m)
  means <- colMeans(groups)
  ranges <- apply(groups, 2, function(g) max(g) - min(g))
  d2 <- 2.326
  sigma <- mean(ranges) / d2
  centre <- mean(means)
  a <- 3 * sigma / sqrt(m)
  bmp(file, width = width, height = height, type = "cairo")
  layout(matrix(c(1, 1, 3, 4, 2, 2, 3, 4), nrow = 2, byrow = TRUE), widths = c(3, 3, 1.2, 1.5))
  par(mar = c(3, 4, 2, 1))
  plot(means, type = "l", col = "blue", main = "Benchmark page", xlab = "", ylab = "mean")
  points(means, pch = 4, col = ifelse(abs(means - centre) > a, "red", "black"))
  abline(h = c(centre - a, centre + a), col = "red")
  abline(h = centre + c(-2, 2) * a / 3, lty = 2)
  abline(h = centre, lty = 4)
  plot(ranges, type = "l", col = "blue", xlab = "", ylab = "range")
  abline(h = c(0, 4.918 * sigma), col = "red")
  h <- hist(values, breaks = 15, plot = FALSE)
  barplot(h$counts, horiz = TRUE, space = 0, col = "grey")
  curve_y <- seq(min(values), max(values), length.out = 200)
  dens <- dnorm(curve_y, mean(values), sd(values)) * count * diff(h$breaks[1:2])
  lines(dens, (curve_y - min(h$breaks)) / diff(h$breaks[1:2]), col = "red", lwd = 2)
  plot.new()
  figures <- c(n = count, mean = mean(values), s = sd(values), min = min(values), max = max(values),
               range = diff(range(values)), k = k, Z = centre, sigma = sigma)
  text(0, seq(0.95, 0.1, length.out = length(figures)), paste(names(figures), format(figures, digits = 6)), adj = 0)
  invisible(dev.off())
}

best <- Inf
for (run in 1:3) best <- min(best, system.time(page())[["elapsed"]])
cat(sprintf("%.4f\n", best))
