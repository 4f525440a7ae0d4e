#!/usr/bin/perl
# Where the screen moves between two screenshots of the full-screen saver, and what changed
# off the monitors:
#   motion.pl A.ppm B.ppm DESKTOP.ppm X,Y,W,H...
# A, B and DESKTOP are binary 8-bit PPM files of one size; each X,Y,W,H is a monitor in the
# screenshot's coordinates. Only the burning fire (and a flying firefly) changes from one
# frame to the next, so the pixels that differ between A and B, the firefly's dark trail
# RGB(1,0,0) left out, lie in the box of the fire that burns now. Prints one line:
#   moving=N moving_box=x0,y0,x1,y1 (-1 when nothing moved) moving_blocks=N off_monitors=N
#   changed_box=x0,y0,x1,y1
# where moving_blocks counts the moving pixels whose 2 x 2 block (blocks counted from the
# moving box's top-left corner) is one colour in B, as every fire pixel is at twice the size;
# off_monitors counts pixels of B that differ from DESKTOP outside every monitor, and
# changed_box bounds the pixels of B that differ from DESKTOP, the trail left out.
use strict;
use warnings;

sub read_ppm {
    my ($path) = @_;
    open(my $fh, '<:raw', $path) or die "cannot open $path: $!\n";
    local $/;
    my $data = <$fh>;
    close $fh;
    $data =~ s/\AP6\s+(\d+)\s+(\d+)\s+(\d+)\s//s or die "$path is not a binary PPM\n";
    die "$path: only 8-bit PPM is read\n" if $3 > 255;
    return ($1, $2, $data);
}

my ($pa, $pb, $pd, @rects) = @ARGV;
die "usage: $0 A.ppm B.ppm DESKTOP.ppm X,Y,W,H...\n" unless defined $pd && @rects;
my ($w, $h, $a) = read_ppm($pa);
my ($bw, $bh, $b) = read_ppm($pb);
my ($dw, $dh, $d) = read_ppm($pd);
die "the screenshots differ in size\n" if $bw != $w || $bh != $h || $dw != $w || $dh != $h;
my @monitors = map { [split /,/] } @rects;

my $on_monitor = sub {
    my ($x, $y) = @_;
    for my $m (@monitors) {
        return 1 if $x >= $m->[0] && $y >= $m->[1] && $x < $m->[0] + $m->[2] && $y < $m->[1] + $m->[3];
    }
    return 0;
};

my ($moving, $off) = (0, 0);
my @moved;
my @box = (-1, -1, -1, -1);
my @changed = (-1, -1, -1, -1);
sub widen {
    my ($b, $x, $y) = @_;
    $b->[0] = $x if $b->[0] < 0 || $x < $b->[0];
    $b->[1] = $y if $b->[1] < 0 || $y < $b->[1];
    $b->[2] = $x if $x > $b->[2];
    $b->[3] = $y if $y > $b->[3];
}
my $row = 3 * $w;
for my $y (0 .. $h - 1) {
    my $ra = substr($a, $y * $row, $row);
    my $rb = substr($b, $y * $row, $row);
    my $rd = substr($d, $y * $row, $row);
    next if $ra eq $rb && $rb eq $rd;
    for my $x (0 .. $w - 1) {
        my $pa3 = substr($ra, 3 * $x, 3);
        my $pb3 = substr($rb, 3 * $x, 3);
        if ($pa3 ne $pb3 && $pa3 ne "\x01\x00\x00" && $pb3 ne "\x01\x00\x00") {
            ++$moving;
            push @moved, [$x, $y];
            widen(\@box, $x, $y);
        }
        next if $pb3 eq substr($rd, 3 * $x, 3) || $pb3 eq "\x01\x00\x00";
        widen(\@changed, $x, $y);
        ++$off unless $on_monitor->($x, $y);
    }
}
my $blocks = 0;
for my $p (@moved) {
    my $x0 = $p->[0] - ($p->[0] - $box[0]) % 2;
    my $y0 = $p->[1] - ($p->[1] - $box[1]) % 2;
    next if $x0 + 1 >= $w || $y0 + 1 >= $h;
    my $pixel = sub { substr($b, 3 * ($_[1] * $w + $_[0]), 3) };
    my $c = $pixel->($x0, $y0);
    ++$blocks if $pixel->($x0 + 1, $y0) eq $c && $pixel->($x0, $y0 + 1) eq $c && $pixel->($x0 + 1, $y0 + 1) eq $c;
}
printf "moving=%d moving_box=%s moving_blocks=%d off_monitors=%d changed_box=%s\n", $moving, join(',', @box), $blocks,
    $off, join(',', @changed);
