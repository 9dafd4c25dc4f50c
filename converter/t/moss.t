# MOSS export text (-S M): our own samples in the fixed columns and with blank-separated
# numbers, projected and longitude/latitude, as points, lines and polygons with islands, read
# back with ogrinfo and from the bytes (the hole bit).
use v5.36;
use FindBin qw($RealBin);
use lib "$RealBin/lib";
use ConverterTest;
use Test::More;

my $dir = scratch();
sub header ($id, $subject, $count) { return sprintf("%5d          %-30s     %5d\n", $id, $subject, $count) }
sub xy (@pairs) { my $t = ''; while (my ($x, $y) = splice @pairs, 0, 2) { $t .= sprintf("%11.2f%11.2f\n", $x, $y) } return $t }
sub lonlat (@triples) { my $t = ''; while (my ($x, $y, $f) = splice @triples, 0, 3) { $t .= sprintf("%10.5f%10.5f%2d\n", $x, $y, $f) } return $t }

my @square = (1000, 1000, 1100, 1000, 1100, 1100, 1000, 1100, 1000, 1000);
# The island's first x is negative: that marks the ring as an island.
my @hole = (-1040, 1040, 1060, 1040, 1060, 1060, 1040, 1060, 1040, 1040);
my %samples = (
    points => header(1, 'WELL', 1) . xy(500, 600) . header(2, 'SPRING', 1) . xy(510.25, 620.5),
    # Blank-separated numbers; as lines, a negative x is a coordinate, no island marker.
    lines  => header(7, 'ROAD', 3) . xy(0, 0, 50, 10, 100, 0) . "\n" . header(8, '', 3) . "10 20\n-30.5 40\n5 5\n",
    polygons => header(3, 'LAKE WITH ISLAND', 10) . xy(@square, @hole) . header(4, 'FIELD', 5) . xy(2000, 2000, 2100, 2000, 2100, 2100, 2000, 2100, 2000, 2000),
    lonlat => header(-5, 'PARK', 10) . lonlat(-105.0, 40.0, 0, -104.9, 40.0, 0, -104.9, 40.1, 0, -105.0, 40.1, 0, -105.0, 40.0, 0,
        -104.96, 40.04, 1, -104.94, 40.04, 0, -104.94, 40.06, 0, -104.96, 40.06, 0, -104.96, 40.04, 0),
);

# sample, -P, [types read back], [first feature's coordinates], holes, what the summary says
my @cases = (
    [ 'points', 'P', [ 3, 3 ], [ [ 500, 600 ], [ 500, 600 ] ], 0, qr/2 points/ ],
    [ 'lines', 'L', [ 4, 4 ], [ [ 0, 0 ], [ 50, 10 ], [ 100, 0 ] ], 0, qr/2 line strings/ ],
    [ 'polygons', 'A', [ 6, 6, 6 ], [ map { [ $square[2 * $_], $square[2 * $_ + 1] ] } 0 .. 4 ], 1, qr/1 hole, 2 shapes/ ],
    [ 'lonlat', 'A', [ 6, 6 ], [ [ -105, 40 ], [ -104.9, 40 ], [ -104.9, 40.1 ], [ -105, 40.1 ], [ -105, 40 ] ], 1, qr/1 hole, 1 shape\b/ ],
);
for my $case (@cases) {
    my ($name, $theme, $types, $first, $holes, $summary) = @$case;
    subtest "$name (-P $theme)" => sub {
        my ($input, $design) = ("$dir/$name.moss", "$dir/$name.dgn");
        write_file($input, $samples{$name});
        write_file($design, '');
        my ($status, $out, $err) = run_converter($input, $design, '-S', 'M', '-P', $theme, '-L', 2, '-C', 3, '-M', 1);
        is($status, 0, 'exit 0') or diag $err;
        like($out, $summary, 'says what it wrote');
        my $f = features($design);
        my @read = grep { $_->{Type} != 3 || $theme eq 'P' } @$f;  # centroids aside
        is_deeply([ map { $_->{Type} } @read ], $types, 'the elements read back');
        is_deeply($read[0]{coordinates}, $first, 'the first one\'s coordinates');
        my @hole_bits = grep { $_->{type} == 6 && ($_->{properties} & 0x8000) } design_elements(read_bytes($design));
        is(scalar @hole_bits, $holes, "$holes hole(s)");
        if ($holes) {
            is_deeply($read[1]{coordinates}[0], $name eq 'lonlat' ? [ -104.96, 40.04 ] : [ 1040, 1040 ], 'the island where it was, its marker gone');
            is($read[1]{MSLink}, $read[0]{MSLink}, 'the hole shares its polygon\'s mslink');
        }
        like($err, qr/subjects? .*not stored/, 'the subjects are reported, not stored');
    };
}

my @malformed = (
    [ 'pairs missing', header(1, 'A', 3) . xy(1, 1, 2, 2), qr/feature 1 .* ends with 1 of its coordinate pairs missing/ ],
    [ 'no header', "hello\n", qr/line 1: expected a feature header/ ],
    [ 'not a pair', header(1, 'A', 2) . xy(1, 1) . "x y\n", qr/line 3: expected a coordinate pair of feature 1/ ],
);
for my $case (@malformed) {
    my ($title, $text, $message) = @$case;
    my ($input, $design) = ("$dir/bad.moss", "$dir/bad.dgn");
    write_file($input, $text);
    write_file($design, '');
    my ($status, undef, $err) = run_converter($input, $design, '-S', 'M', '-P', 'L');
    is($status, 4, "$title: exit 4");
    like($err, $message, "$title: says where");
}

done_testing;
