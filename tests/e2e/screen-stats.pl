#!/usr/bin/perl
# Counts what a screenshot of the full-screen saver shows:
#   screen-stats.pl SHOT.ppm [DESKTOP.ppm [X,Y]]
# SHOT and DESKTOP are binary 8-bit PPM files of the same size; DESKTOP is the screen before
# the saver started. Prints one line of name=value pairs:
#   green, red   pixels of a green (or red) flame or glow: that channel at least 64, the
#                other two under half of it; green_box=x0,y0,x1,y1 bounds the green ones
#   trail        pixels of exactly RGB(1,0,0), the firefly's dark pen; trail_box likewise
#   black        pixels of exactly RGB(0,0,0)
# and with DESKTOP:
#   same         pixels equal to the desktop
#   fixed        pixels that differ from the desktop and have one of the colour table's 31
#                fixed colours that are not black (entries 1 to 15 and 240 to 255): where a
#                box shows the desktop through the table instead of as it was, most are these
#   box=x,y      where the fire that burns now is: of the 100 x 100 squares, the one with the
#                most green pixels, and of those the one with the most pixels that differ
#                from the desktop without being trail; or the square at X,Y when given.
#                box_differs counts those pixels, box_green the green ones in the square,
#                trail_near the trail pixels within 12 pixels of the square's green ones (the
#                firefly's path ends at the foot of the flames, captured with the desktop)
# Boxes are -1 when there is nothing to bound. Plain perl without modules.
use strict;
use warnings;

use constant BOX => 100;
use constant NEAR => 12;

sub read_ppm {
    my ($path) = @_;
    open(my $fh, '<:raw', $path) or die "cannot open $path: $!\n";
    local $/;
    my $data = <$fh>;
    close $fh;
    $data =~ s/\AP6\s+(\d+)\s+(\d+)\s+(\d+)\s//s or die "$path is not a binary PPM\n";
    my ($w, $h, $max) = ($1, $2, $3);
    die "$path: only 8-bit PPM is read\n" if $max > 255;
    die "$path: short pixel data\n" if length($data) < $w * $h * 3;
    return ($w, $h, $data);
}

sub widen {
    my ($box, $x, $y) = @_;
    $box->[0] = $x if $box->[0] < 0 || $x < $box->[0];
    $box->[1] = $y if $box->[1] < 0 || $y < $box->[1];
    $box->[2] = $x if $x > $box->[2];
    $box->[3] = $y if $y > $box->[3];
}

my ($shot, $desktop, $at) = @ARGV;
die "usage: $0 SHOT.ppm [DESKTOP.ppm [X,Y]]\n" unless defined $shot;
die "X,Y expected, not $at\n" if defined $at && $at !~ /\A\d+,\d+\z/;
my ($w, $h, $px) = read_ppm($shot);
my $dpx;
if (defined $desktop) {
    my ($dw, $dh);
    ($dw, $dh, $dpx) = read_ppm($desktop);
    die "the desktop is ${dw}x$dh, the shot ${w}x$h\n" if $dw != $w || $dh != $h;
}

# The fixed entries of the fire's colour table, as red, green, blue; entry 0 is black.
my %fixed = map { pack('C3', @$_) => 1 } (
    [128, 0, 0], [0, 128, 0], [128, 128, 0], [0, 0, 128], [128, 0, 128], [0, 128, 128], [192, 192, 192],
    [192, 220, 192], [166, 202, 240], [238, 238, 238], [221, 221, 221], [204, 204, 204], [187, 187, 187],
    [170, 170, 170], [153, 153, 153],
    [0, 0, 119], [0, 0, 102], [0, 0, 85], [0, 0, 68], [0, 0, 51], [0, 0, 34], [255, 251, 240], [160, 160, 164],
    [128, 128, 128], [255, 0, 0], [0, 255, 0], [255, 255, 0], [0, 0, 255], [255, 0, 255], [0, 255, 255],
    [255, 255, 255]);

my ($green, $red, $trail, $black, $same, $fixed) = (0, 0, 0, 0, 0, 0);
my @gbox = (-1, -1, -1, -1);
my @tbox = (-1, -1, -1, -1);
my @is_trail;   # per pixel, for the count near a box
# Integral images, one row longer and wider, of "differs from the desktop and is not trail"
# and of green pixels.
my @sum = defined $dpx ? ((0) x (($w + 1) * ($h + 1))) : ();
my @gsum = @sum;
my $row_bytes = $w * 3;
for my $y (0 .. $h - 1) {
    my @row = unpack('C*', substr($px, $y * $row_bytes, $row_bytes));
    my @drow = defined $dpx ? unpack('C*', substr($dpx, $y * $row_bytes, $row_bytes)) : ();
    my ($running, $grunning) = (0, 0);
    for my $x (0 .. $w - 1) {
        my $i = 3 * $x;
        my ($r, $g, $b) = @row[$i, $i + 1, $i + 2];
        my $is_trail = 0;
        if ($g >= 64 && 2 * $r < $g && 2 * $b < $g) {
            ++$green;
            ++$grunning;
            widen(\@gbox, $x, $y);
        } elsif ($r >= 64 && 2 * $g < $r && 2 * $b < $r) {
            ++$red;
        } elsif ($r == 1 && $g == 0 && $b == 0) {
            ++$trail;
            $is_trail = 1;
            $is_trail[$y * $w + $x] = 1;
            widen(\@tbox, $x, $y);
        } elsif ($r == 0 && $g == 0 && $b == 0) {
            ++$black;
        }
        next unless defined $dpx;
        if ($r == $drow[$i] && $g == $drow[$i + 1] && $b == $drow[$i + 2]) {
            ++$same;
        } else {
            ++$fixed if $fixed{pack('C3', $r, $g, $b)};
            ++$running unless $is_trail;
        }
        $sum[($y + 1) * ($w + 1) + $x + 1] = $sum[$y * ($w + 1) + $x + 1] + $running;
        $gsum[($y + 1) * ($w + 1) + $x + 1] = $gsum[$y * ($w + 1) + $x + 1] + $grunning;
    }
}

printf "width=%d height=%d green=%d green_box=%s red=%d trail=%d trail_box=%s black=%d", $w, $h, $green,
    join(',', @gbox), $red, $trail, join(',', @tbox), $black;

if (defined $dpx) {
    my $stride = $w + 1;
    my $square = sub {
        my ($table, $x, $y) = @_;
        my ($top, $bottom) = ($y * $stride, ($y + BOX) * $stride);
        return $table->[$bottom + $x + BOX] - $table->[$bottom + $x] - $table->[$top + $x + BOX] + $table->[$top + $x];
    };
    my ($bx, $by) = (-1, -1);
    if (defined $at) {
        ($bx, $by) = split /,/, $at;
        ($bx, $by) = (-1, -1) if $bx + BOX > $w || $by + BOX > $h;
    } else {
        # The square sums inline, once for every square: a call per square costs the most here.
        my ($most_green, $most_differs) = (0, 0);
        for (my $y = 0; $y + BOX <= $h; ++$y) {
            my ($top, $bottom) = ($y * $stride, ($y + BOX) * $stride);
            for (my $x = 0; $x + BOX <= $w; ++$x) {
                my $g = $gsum[$bottom + $x + BOX] - $gsum[$bottom + $x] - $gsum[$top + $x + BOX] + $gsum[$top + $x];
                next if $g < $most_green;
                my $n = $sum[$bottom + $x + BOX] - $sum[$bottom + $x] - $sum[$top + $x + BOX] + $sum[$top + $x];
                next if $g == $most_green && $n <= $most_differs;
                ($bx, $by, $most_green, $most_differs) = ($x, $y, $g, $n);
            }
        }
    }
    my ($differs, $box_green, $trail_near) = (0, 0, 0);
    if ($bx >= 0) {
        $differs = $square->(\@sum, $bx, $by);
        $box_green = $square->(\@gsum, $bx, $by);
        # The flames' bounds in the square, and the trail around them.
        my @flames = (-1, -1, -1, -1);
        for my $y ($by .. $by + BOX - 1) {
            for my $x ($bx .. $bx + BOX - 1) {
                my $i = 3 * ($y * $w + $x);
                my ($r, $g, $b) = unpack('C3', substr($px, $i, 3));
                widen(\@flames, $x, $y) if $g >= 64 && 2 * $r < $g && 2 * $b < $g;
            }
        }
        if ($flames[0] >= 0) {
            for my $y ($flames[1] - NEAR .. $flames[3] + NEAR) {
                next if $y < 0 || $y >= $h;
                for my $x ($flames[0] - NEAR .. $flames[2] + NEAR) {
                    next if $x < 0 || $x >= $w;
                    ++$trail_near if $is_trail[$y * $w + $x];
                }
            }
        }
    }
    printf " same=%d fixed=%d box=%d,%d box_differs=%d box_green=%d trail_near=%d", $same, $fixed, $bx, $by, $differs,
        $box_green, $trail_near;
}
print "\n";
