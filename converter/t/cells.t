# Cells from a cell library (-O C -ce LIBRARY -cn NAME): the library written by our own
# sample writer, the placed cells read back from the bytes (the type 2 headers) and with
# ogrinfo (their components); a library that cannot be used leaves the design file untouched.
use v5.36;
use FindBin qw($RealBin);
use lib "$RealBin/lib";
use ConverterTest;
use Test::More;

my $dir = scratch();
my $library = "$dir/lib.cel";
sample_library($library);
my $input = "$dir/wells.gen";
write_file($input, "11 1000 2000\n12 1010.5 2010.25\nEND\n");

sub radix50 ($word) {
    my @alphabet = split //, ' ABCDEFGHIJKLMNOPQRSTUVWXYZ$. 0123456789';
    return join '', map { $alphabet[$_] } int($word / 1600) % 40, int($word / 40) % 40, $word % 40;
}

# Each placed cell: its header's name, level, range, origin and mslink, and its components.
sub cells ($design) {
    my @cells;
    for my $e (design_elements(read_bytes($design))) {
        if ($e->{type} == 2) {
            my ($w1, $w2) = unpack('x38 v v', $e->{bytes});
            my ($oh, $ol, $yh, $yl) = unpack('x84 v v v v', $e->{bytes});
            my $long = sub ($h, $l) { my $v = ($h << 16) | $l; $v >= 2**31 ? $v - 2**32 : $v };
            my ($link_low, $link_high) = unpack('x' . (32 + 2 * unpack('x30 v', $e->{bytes}) + 4) . ' v C', $e->{bytes});
            push @cells, { name => (radix50($w1) . radix50($w2)) =~ s/ +$//r, level => $e->{level}, range => $e->{range},
                origin => [ $long->($oh, $ol), $long->($yh, $yl) ], mslink => $link_low | ($link_high << 16), parts => [] };
        } elsif (@cells && vec($e->{bytes}, 0, 8) & 0x80) {
            push @{ $cells[-1]{parts} }, $e;
        }
    }
    return @cells;
}

# name, options, [cell name read back, level of header and components, component colors, components]
my @placed = (
    [ 'CROSS on the -C level with -sp', [ '-C', 5, '-sp', '1,2,9', '-M', 7 ], [ 'CROSS', 5, 9, 2 ] ],
    [ 'circle keeps its own level and color', [ '-M', 7 ], [ 'CIRCLE', 3, 2, 1 ] ],
    [ 'Label as a text', [ '-C', 6, '-M', 7 ], [ 'LABEL', 6, 4, 1 ] ],
);
for my $case (@placed) {
    my ($title, $options, $want) = @$case;
    my ($name, $level, $color, $parts) = @$want;
    subtest $title => sub {
        my $design = "$dir/$name.dgn";
        write_file($design, '');
        my $asked = $title =~ /^(\S+)/ ? $1 : die;
        my ($status, $out, $err) = run_converter($input, $design, '-S', 'A', '-P', 'P', '-O', 'C', '-ce', $library, '-cn', $asked, @$options);
        is($status, 0, 'exit 0, no substitution') or diag $err;
        like($out, qr/2 cells/, 'says what it wrote');
        my @cells = cells($design);
        is(scalar @cells, 2, 'one cell header a point');
        for my $i (0, 1) {
            my $c = $cells[$i];
            is($c->{name}, $name, "cell $i named $name");
            is($c->{level}, $level, "cell $i on level $level");
            is($c->{mslink}, 7 + $i, "cell $i carries mslink " . (7 + $i));
            is(scalar @{ $c->{parts} }, $parts, "cell $i has $parts components");
            for my $p (@{ $c->{parts} }) {
                my ($xl, $yl, $xh, $yh) = @{ $p->{range} };
                ok($c->{range}[0] <= $xl && $c->{range}[1] <= $yl && $c->{range}[2] >= $xh && $c->{range}[3] >= $yh,
                    "cell $i encloses its component");
                is($p->{level}, $level, "component on level $level");
                is(vec($p->{bytes}, 35, 8), $color, "component color $color");
            }
        }
        is_deeply($cells[1]{origin}, [ 10500, 10250 ], 'placed at the point (UORs from the global origin)');
        my $f = features($design);
        is(scalar @$f, 2 * $parts, 'ogrinfo reads every component');
        if ($name eq 'CROSS') {
            is_deeply($f->[0]{coordinates}, [ [ 999.5, 2000 ], [ 1000.5, 2000 ] ], 'the library\'s UORs taken as the file\'s');
        }
    };
}

# Libraries that cannot be used: exit 4, one message naming the library, the file untouched.
my $three_d = "$dir/3d.cel";
write_file($three_d, "\xC8" . substr(read_bytes($library), 1));
my @refused = (
    [ 'missing library', "$dir/none.cel", 'CROSS', qr/cell library \S+none.cel cannot be opened/ ],
    [ 'unknown cell', $library, 'WELL', qr/holds no cell WELL \(it holds CIRCLE, CROSS, LABEL\)/ ],
    [ '3D library', $three_d, 'CROSS', qr/3d.cel is a 3D cell library/ ],
    [ 'not a library', $input, 'CROSS', qr/wells.gen is not a cell library/ ],
);
for my $case (@refused) {
    my ($title, $lib, $cell, $message) = @$case;
    subtest $title => sub {
        my $design = "$dir/untouched.dgn";
        write_file($design, '');
        run_converter($input, $design, '-S', 'A', '-P', 'P', '-C', 1);
        my $before = read_bytes($design);
        my ($status, undef, $err) = run_converter($input, $design, '-S', 'A', '-P', 'P', '-O', 'C', '-ce', $lib, '-cn', $cell);
        is($status, 4, 'exit 4');
        like($err, qr/^mapfeed.pl: .*$message/m, 'names the library and why');
        is(read_bytes($design), $before, 'design file untouched');
    };
}

done_testing;
